// The simulated data-exchange library: every function reached at its ordinal through the
// driver's own declarations, the store's statuses, values kept bit for bit, and injection.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dataexchange/tembrix3.h"
#include "tests/support/tembrix3_sim.h"

namespace {

// The driver's declarations bind to the function of the same name: on Windows through the
// ordinal-only import library, so a wrong ordinal shows as another name in the log.
TEST(Tembrix3Sim, EveryFunctionAnswersAtItsOrdinal) {
    Sim().reset();
    uint8_t byte = 0;
    uint16_t word = 0;
    int16_t shortValue = 0;
    uint32_t dword = 0;
    int32_t longValue = 0;
    double real = 0;
    char text[80] = {};
    ActivateTag("X");
    DeactivateTag("X");
    ScanActiveTags();
    ReadTagFlags("X", 1, &byte, 1);
    WriteTagFlags("X", 1, &byte, 1);
    ReadTagLong("X", &longValue);
    ReadTagShort("X", &shortValue);
    ReadTagDouble("X", &real);
    WriteTagLong("X", 1);
    WriteTagShort("X", 2);
    WriteTagDouble("X", 0.5);
    ReadArrayDouble("X", &real, 1, 2, 2);
    ReadArrayLong("X", &longValue, 1, 2, 2);
    ReadArrayShort("X", &shortValue, 1, 2, 2);
    ReadTagByte("X", &byte);
    ReadTagWord("X", &word);
    ReadTagDword("X", &dword);
    ReadArrayByte("X", &byte, 1, 2, 2);
    ReadArrayWord("X", &word, 1, 2, 2);
    ReadArrayDword("X", &dword, 1, 2, 2);
    ReadTagText("X", text, 80, &longValue);
    WriteArrayLong("X", &longValue, 1, 2, 2);
    WriteArrayShort("X", &shortValue, 1, 2, 2);
    WriteTagByte("X", 3);
    WriteTagWord("X", 4);
    WriteTagDword("X", 5);
    WriteArrayByte("X", &byte, 1, 2, 2);
    WriteArrayWord("X", &word, 1, 2, 2);
    WriteArrayDword("X", &dword, 1, 2, 2);
    WriteArrayDouble("X", &real, 1, 2, 2);
    WriteTagText("X", "abc", 3);
    const std::vector<std::string> expected = {
        "ActivateTag(X)", "DeactivateTag(X)", "ScanActiveTags()", "ReadTagFlags(X, 1, 1)",
        "WriteTagFlags(X, 1, 1, 0)", "ReadTagLong(X)", "ReadTagShort(X)", "ReadTagDouble(X)",
        "WriteTagLong(X, 1)", "WriteTagShort(X, 2)", "WriteTagDouble(X, 0.5)",
        "ReadArrayDouble(X, 1, 2, 2)", "ReadArrayLong(X, 1, 2, 2)", "ReadArrayShort(X, 1, 2, 2)",
        "ReadTagByte(X)", "ReadTagWord(X)", "ReadTagDword(X)", "ReadArrayByte(X, 1, 2, 2)",
        "ReadArrayWord(X, 1, 2, 2)", "ReadArrayDword(X, 1, 2, 2)", "ReadTagText(X, 80)",
        "WriteArrayLong(X, 1, 2, 2, 0)", "WriteArrayShort(X, 1, 2, 2, 0)", "WriteTagByte(X, 3)",
        "WriteTagWord(X, 4)", "WriteTagDword(X, 5)", "WriteArrayByte(X, 1, 2, 2, 0)",
        "WriteArrayWord(X, 1, 2, 2, 0)", "WriteArrayDword(X, 1, 2, 2, 0)",
        "WriteArrayDouble(X, 1, 2, 2, 0)", "WriteTagText(X, 3, \"abc\")"};
    EXPECT_EQ(LoggedCalls(), expected);
    // None of them knows X.
    for (int32_t i = 0; i < Sim().callCount(); ++i) {
        SimCall call;
        ASSERT_EQ(Sim().getCall(i, &call), 0);
        EXPECT_EQ(call.status, call.ordinal == kScanActiveTags ? 0 : -2001) << DescribeCall(call);
    }
    SimCall call;
    EXPECT_EQ(Sim().getCall(Sim().callCount(), &call), -2003);
}

// A small plant: one tag of each kind, all active but NEW.
struct Tembrix3Store : testing::Test {
    void SetUp() override {
        Sim().reset();
        const struct { const char* name; int32_t type; int32_t first; int32_t count; } tags[] = {
            {"B", SimTagByte, 0, 0},  {"W", SimTagWord, 0, 0},   {"S", SimTagShort, 0, 0},
            {"L", SimTagLong, 0, 0},  {"R", SimTagDouble, 0, 0}, {"F", SimTagFlags, 0, 0},
            {"T", SimTagText, 0, 0},  {"A", SimTagLong, 10, 5},  {"NEW", SimTagWord, 0, 0},
        };
        for (const auto& tag : tags) {
            ASSERT_EQ(Sim().defineTag(tag.name, tag.type, tag.first, tag.count), 0) << tag.name;
            if (std::strcmp(tag.name, "NEW") != 0) ASSERT_EQ(ActivateTag(tag.name), 0) << tag.name;
        }
    }
};

TEST_F(Tembrix3Store, AnswersItsStatuses) {
    uint16_t word = 0;
    int32_t longValue = 0;
    uint8_t byte = 0;
    char text[4];
    int32_t length = 0;
    EXPECT_EQ(ReadTagWord("B", &word), -2000);
    EXPECT_EQ(WriteTagWord("B", 1), -2000);
    EXPECT_EQ(ReadTagByte("B", &byte), 0);
    EXPECT_EQ(ReadTagWord("NONE", &word), -2001);
    EXPECT_EQ(ReadTagDouble("W", nullptr), -2002);
    EXPECT_EQ(WriteTagLong("R", 1), -2002);
    EXPECT_EQ(ReadArrayLong("A", &longValue, 1, 15, 15), -2003);
    EXPECT_EQ(ReadArrayLong("A", &longValue, 1, 9, 9), -2003);
    EXPECT_EQ(ReadArrayLong("A", &longValue, 2, 10, 10), -2003);
    EXPECT_EQ(ReadTagFlags("F", 2, &byte, 1), -2003);
    EXPECT_EQ(ReadTagWord("NEW", &word), -2004);
    EXPECT_EQ(ReadArrayLong("L", &longValue, 1, 0, 0), -2006);
    EXPECT_EQ(ReadTagLong("A", &longValue), -2006);
    const std::string tooLong(96, 't');
    EXPECT_EQ(WriteTagText("T", tooLong.c_str(), 96), -2008);
    EXPECT_EQ(WriteTagText("T", "hello", 5), 0);
    EXPECT_EQ(ReadTagText("T", text, sizeof text, &length), -2008);
    EXPECT_STREQ(text, "hel");
    EXPECT_EQ(length, 5);

    // Deactivated while active: -2005 until activated again.
    EXPECT_EQ(Sim().setTagActive("W", 0), 0);
    EXPECT_EQ(ReadTagWord("W", &word), -2005);
    EXPECT_EQ(DeactivateTag("W"), -2005);
    EXPECT_EQ(ActivateTag("W"), 0);
    EXPECT_EQ(ReadTagWord("W", &word), 0);

    // Removed while active: -2007 until the name is given up; then it is unknown.
    EXPECT_EQ(Sim().removeTag("S"), 0);
    EXPECT_EQ(WriteTagShort("S", 1), -2007);
    EXPECT_EQ(DeactivateTag("S"), -2007);
    EXPECT_EQ(ReadTagShort("S", nullptr), -2001);
    EXPECT_EQ(ActivateTag("S"), -2001);
    // Removed while inactive: simply gone.
    EXPECT_EQ(Sim().removeTag("NEW"), 0);
    EXPECT_EQ(ReadTagWord("NEW", &word), -2001);

    Sim().setDataDirectory(0);
    EXPECT_EQ(ActivateTag("B"), -2009);

    EXPECT_EQ(Sim().defineTag("X", 8, 0, 0), -2010);
    EXPECT_EQ(Sim().defineTag("X", SimTagText, 0, 3), -2010);
    EXPECT_EQ(Sim().defineTag("X", SimTagLong, 0, -1), -2010);
    EXPECT_EQ(Sim().defineTag("", SimTagLong, 0, 0), -2010);
    EXPECT_EQ(Sim().defineTag("X", SimTagLong, INT32_MAX, 2), -2010);
}

TEST_F(Tembrix3Store, KeepsValuesBitForBit) {
    uint16_t word = 0;
    uint32_t dword = 0;
    double real = 0;
    int32_t elements[2] = {};
    EXPECT_EQ(WriteTagShort("W", -1), 0);
    EXPECT_EQ(ReadTagWord("W", &word), 0);
    EXPECT_EQ(word, 0xFFFF);
    EXPECT_EQ(WriteTagLong("L", -2), 0);
    EXPECT_EQ(ReadTagDword("L", &dword), 0);
    EXPECT_EQ(dword, 0xFFFFFFFEu);
    EXPECT_EQ(WriteTagDouble("R", 0.1), 0);
    EXPECT_EQ(ReadTagDouble("R", &real), 0);
    EXPECT_EQ(real, 0.1);
    int32_t value = 42;
    EXPECT_EQ(WriteArrayLong("A", &value, 1, 12, 12), 0);
    EXPECT_EQ(ReadArrayLong("A", elements, 2, 11, 12), 0);
    EXPECT_EQ(elements[0], 0);
    EXPECT_EQ(elements[1], 42);
    SimValue stored;
    EXPECT_EQ(Sim().getValue("A", 12, &stored), 0);
    EXPECT_EQ(stored.bits, 42u);
    EXPECT_EQ(Sim().getValue("A", 15, &stored), -2003);
    // Values set through the control are cut to the tag's width.
    SimValue wide = SimBits(0x12345);
    EXPECT_EQ(Sim().setValue("B", 0, &wide), 0);
    EXPECT_EQ(Sim().getValue("B", 0, &stored), 0);
    EXPECT_EQ(stored.bits, 0x45u);
}

TEST_F(Tembrix3Store, InjectedAnswersComeFirstAndInOrder) {
    uint16_t word = 7;
    const SimValue delivered = SimBits(0xABCD);
    Sim().injectStatus(kReadTagWord, -5, 2, nullptr);
    Sim().injectStatus(kReadTagWord, 0, 1, &delivered);
    EXPECT_EQ(ReadTagWord("W", &word), -5);
    EXPECT_EQ(word, 7);
    EXPECT_EQ(ReadTagWord("NONE", &word), -5);
    EXPECT_EQ(ReadTagWord("NONE", &word), 0);
    EXPECT_EQ(word, 0xABCD);
    EXPECT_EQ(ReadTagWord("NONE", &word), -2001);

    // An injected write leaves the store alone; a count of 0 drops what is pending.
    Sim().injectStatus(kWriteTagWord, 0, 1, nullptr);
    EXPECT_EQ(WriteTagWord("W", 9), 0);
    EXPECT_EQ(ReadTagWord("W", &word), 0);
    EXPECT_EQ(word, 0);
    Sim().injectStatus(kScanActiveTags, -1, 5, nullptr);
    Sim().injectStatus(kScanActiveTags, 0, 0, nullptr);
    EXPECT_EQ(ScanActiveTags(), 0);
}

}  // namespace
