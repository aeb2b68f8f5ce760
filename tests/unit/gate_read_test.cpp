// Request 5: the scan, the read by type and path, the stores made always, the byte retry,
// the recovery, and the messages in their order; checked against the simulated library's log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/driver_request.h"
#include "tests/support/gate_under_test.h"
#include "tests/support/message_recorder.h"
#include "tests/support/record_bytes.h"
#include "tests/support/tembrix3_sim.h"

namespace {

typedef void (*CellChange)(ValueCell& cell);

void Unchanged(ValueCell&) {}

struct ReadCase {
    const char* name;
    int32_t type;
    std::vector<SimAnswer> answers;
    std::vector<std::string> calls;
    CellChange change;  // what the read does to the cell, applied to the cell as it was
    std::vector<std::string> messages;
    int32_t result;
};

const std::string kLong35 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345[7]";   // 35 characters
const std::string kLong36 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456[7]";  // 36 characters
const std::string kPlainLong = std::string(60, 'P');

const std::vector<ReadCase>& Cases() {
    static const std::vector<ReadCase> cases = {
        // Plain gates, one per type.
        {"TANK", GateWord, {Deliver(kReadTagWord, 0, SimBits(0xBEEF))},
         {"ScanActiveTags()", "ReadTagWord(TANK)"},
         [](ValueCell& c) { c.value16 = 0xBEEF; }, {}, 0},
        {"TANK", GateWordAlt, {Answer(kReadTagWord, -2000), Deliver(kReadTagByte, 0, SimBits(200))},
         {"ScanActiveTags()", "ReadTagWord(TANK)", "ReadTagByte(TANK)"},
         [](ValueCell& c) { c.value16 = 200; }, {}, 0},
        {"TANK", GateWord, {Answer(kReadTagWord, -2000), Deliver(kReadTagByte, 0, SimBits(0xFF))},
         {"ScanActiveTags()", "ReadTagWord(TANK)", "ReadTagByte(TANK)"},
         [](ValueCell& c) { c.value16 = 255; }, {}, 0},
        // The byte retry fails without delivering: the byte is stored all the same, from the
        // receiver's start, the cell's own low byte.
        {"TANK", GateWord, {Answer(kReadTagWord, -2000), Answer(kReadTagByte, -2004)},
         {"ScanActiveTags()", "ReadTagWord(TANK)", "ReadTagByte(TANK)"},
         [](ValueCell& c) { c.value16 = static_cast<uint16_t>(c.value16 & 0xFF); },
         {"QorBVN: Read Gate TANK failed (-2004)"}, 1},
        {"TANK", GateWord, {Answer(kReadTagWord, -2002)},
         {"ScanActiveTags()", "ReadTagWord(TANK)"}, Unchanged,
         {"QorBVN: Read Gate TANK failed (-2002)"}, 1},
        {"TANK", GateShort, {Deliver(kReadTagShort, 0, SimBits(0x8001))},
         {"ScanActiveTags()", "ReadTagShort(TANK)"},
         [](ValueCell& c) { c.value16 = 0x8001; }, {}, 0},
        {"TANK", GateShort, {Answer(kReadTagShort, -2000)},
         {"ScanActiveTags()", "ReadTagShort(TANK)"}, Unchanged,
         {"QorBVN: Read Gate TANK failed (-2000)"}, 1},
        {"TANK", GateReal, {Deliver(kReadTagDouble, 0, SimReal(0.1))},
         {"ScanActiveTags()", "ReadTagDouble(TANK)"},
         [](ValueCell& c) { c.real = 0.1f; }, {}, 0},
        {"TANK", GateReal, {Answer(kReadTagDouble, -2004)},
         {"ScanActiveTags()", "ReadTagDouble(TANK)"}, Unchanged,
         {"QorBVN: Read Gate TANK failed (-2004)"}, 1},
        {"TANK", GateLong, {Deliver(kReadTagLong, 0, SimBits(0x80000001u))},
         {"ScanActiveTags()", "ReadTagLong(TANK)"},
         [](ValueCell& c) { c.value32 = 0x80000001u; }, {}, 0},
        {"TANK", GateDword, {Deliver(kReadTagDword, 0, SimBits(0x12345678u))},
         {"ScanActiveTags()", "ReadTagDword(TANK)"},
         [](ValueCell& c) { c.value32 = 0x12345678u; }, {}, 0},
        {"TANK", GateFlag, {Deliver(kReadTagFlags, 0, SimBits(2))},
         {"ScanActiveTags()", "ReadTagFlags(TANK, 1, 1)"},
         [](ValueCell& c) { c.value16 = 2; }, {}, 0},
        // -2007 on a flag: failure message, the store, then deactivation and activation.
        {"TANK", GateFlag, {Answer(kReadTagFlags, -2007), Answer(kActivateTag, 0)},
         {"ScanActiveTags()", "ReadTagFlags(TANK, 1, 1)", "DeactivateTag(TANK)", "ActivateTag(TANK)"},
         [](ValueCell& c) { c.value16 = static_cast<uint16_t>(c.value16 & 0xFF); },
         {"QorBVN: Read Gate TANK failed (-2007)"}, 1},
        {"TANK", GateText, {Deliver(kReadTagText, 0, SimText("hello"))},
         {"ScanActiveTags()", "ReadTagText(TANK, 80)"},
         [](ValueCell& c) { std::memcpy(c.text, "hello", 6); }, {}, 0},
        // A type outside 0..7 reads nothing; the scan's status decides.
        {"TANK", 8, {}, {"ScanActiveTags()"}, Unchanged, {}, 0},
        {"TANK", -1, {}, {"ScanActiveTags()"}, Unchanged, {}, 0},
        {"TANK", -1, {Answer(kScanActiveTags, -2005), Answer(kActivateTag, 0)},
         {"ScanActiveTags()", "DeactivateTag(TANK)", "ActivateTag(TANK)"}, Unchanged,
         {"QorBVN: SacnActiveTage failed , rc=-2005"}, 1},
        // The scan fails and the read goes on.
        {"TANK", GateLong, {Answer(kScanActiveTags, -3), Deliver(kReadTagLong, 0, SimBits(5))},
         {"ScanActiveTags()", "ReadTagLong(TANK)"},
         [](ValueCell& c) { c.value32 = 5; }, {"QorBVN: SacnActiveTage failed , rc=-3"}, 0},
        // Every message in its order; the recovery's activation failing too.
        {"TANK", GateDword,
         {Answer(kScanActiveTags, -1), Answer(kReadTagDword, -2005), Answer(kActivateTag, -2001)},
         {"ScanActiveTags()", "ReadTagDword(TANK)", "DeactivateTag(TANK)", "ActivateTag(TANK)"}, Unchanged,
         {"QorBVN: SacnActiveTage failed , rc=-1", "QorBVN: Read Gate TANK failed (-2005)",
          "QorBVN: Can not Re Activate gate TANK, rc=-2001"}, 1},
        // -2005 or -2007 from the byte retry recovers too.
        {"TANK", GateWord,
         {Answer(kReadTagWord, -2000), Deliver(kReadTagByte, -2005, SimBits(9)), Answer(kActivateTag, 0)},
         {"ScanActiveTags()", "ReadTagWord(TANK)", "ReadTagByte(TANK)", "DeactivateTag(TANK)", "ActivateTag(TANK)"},
         [](ValueCell& c) { c.value16 = 9; }, {"QorBVN: Read Gate TANK failed (-2005)"}, 1},
        // A plain name goes to the library whole, whatever its length; ] alone is no array.
        {kPlainLong.c_str(), GateLong, {Deliver(kReadTagLong, 0, SimBits(1))},
         {"ScanActiveTags()", "ReadTagLong(" + kPlainLong + ")"},
         [](ValueCell& c) { c.value32 = 1; }, {}, 0},
        {"TANK]3", GateLong, {Deliver(kReadTagLong, 0, SimBits(1))},
         {"ScanActiveTags()", "ReadTagLong(TANK]3)"},
         [](ValueCell& c) { c.value32 = 1; }, {}, 0},

        // Array elements.
        {"TANK[2]", GateReal, {Deliver(kReadArrayDouble, 0, SimReal(1.5))},
         {"ScanActiveTags()", "ReadArrayDouble(TANK, 1, 2, 2)"},
         [](ValueCell& c) { c.real = 1.5f; }, {}, 0},
        {"TANK[2]", GateReal, {Answer(kReadArrayDouble, -2003)},
         {"ScanActiveTags()", "ReadArrayDouble(TANK, 1, 2, 2)"}, Unchanged,
         {"QorBVN: Read Gate TANK[2] failed (-2003)"}, 1},
        {"TANK[3]", GateWord, {Answer(kReadArrayWord, -2000), Deliver(kReadArrayByte, 0, SimBits(0xFF))},
         {"ScanActiveTags()", "ReadArrayWord(TANK, 1, 3, 3)", "ReadArrayByte(TANK, 1, 3, 3)"},
         [](ValueCell& c) { c.value16 = 255; }, {}, 0},
        {"TANK[3]", GateWordAlt, {Answer(kReadArrayWord, -2000), Answer(kReadArrayByte, -2003)},
         {"ScanActiveTags()", "ReadArrayWord(TANK, 1, 3, 3)", "ReadArrayByte(TANK, 1, 3, 3)"},
         [](ValueCell& c) { c.value16 = static_cast<uint16_t>(c.value16 & 0xFF); },
         {"QorBVN: Read Gate TANK[3] failed (-2003)"}, 1},
        {"TANK[-1]", GateShort, {Deliver(kReadArrayShort, 0, SimBits(0xFFFE))},
         {"ScanActiveTags()", "ReadArrayShort(TANK, 1, -1, -1)"},
         [](ValueCell& c) { c.value16 = 0xFFFE; }, {}, 0},
        {"TANK[0]", GateLong, {Deliver(kReadArrayLong, 0, SimBits(0xFFFFFFFFu))},
         {"ScanActiveTags()", "ReadArrayLong(TANK, 1, 0, 0)"},
         [](ValueCell& c) { c.value32 = 0xFFFFFFFFu; }, {}, 0},
        {"TANK[7]", GateDword, {Deliver(kReadArrayDword, 0, SimBits(7))},
         {"ScanActiveTags()", "ReadArrayDword(TANK, 1, 7, 7)"},
         [](ValueCell& c) { c.value32 = 7; }, {}, 0},
        // Recovery of an element: the whole reference, not the base name.
        {"TANK[4]", GateLong, {Answer(kReadArrayLong, -2005), Answer(kActivateTag, 0)},
         {"ScanActiveTags()", "ReadArrayLong(TANK, 1, 4, 4)", "DeactivateTag(TANK[4])", "ActivateTag(TANK[4])"},
         Unchanged, {"QorBVN: Read Gate TANK[4] failed (-2005)"}, 1},
        {"TANK[3]", GateFlag, {}, {"ScanActiveTags()"}, Unchanged,
         {"QorBVN: Can not Read Gate TANK[3] as array"}, 1},
        {"TANK[3]", GateText, {Answer(kScanActiveTags, -2005)}, {"ScanActiveTags()"}, Unchanged,
         {"QorBVN: SacnActiveTage failed , rc=-2005", "QorBVN: Can not Read Gate TANK[3] as array"}, 1},
        {"TANK[9999]", GateLong, {}, {"ScanActiveTags()"}, Unchanged,
         {"QorBVN: Illegal array index for gate TANK[9999]"}, 1},
        {"TANK[x]", GateText, {}, {"ScanActiveTags()"}, Unchanged,
         {"QorBVN: Illegal array index for gate TANK[x]"}, 1},
        {"TANK[3", GateLong, {}, {"ScanActiveTags()"}, Unchanged,
         {"QorBVN: Illegal array index for gate TANK[3"}, 1},
        {"TANK[3]", 8, {}, {"ScanActiveTags()"}, Unchanged, {}, 0},
        {kLong35.c_str(), GateLong, {Deliver(kReadArrayLong, 0, SimBits(35))},
         {"ScanActiveTags()", "ReadArrayLong(ABCDEFGHIJKLMNOPQRSTUVWXYZ012345, 1, 7, 7)"},
         [](ValueCell& c) { c.value32 = 35; }, {}, 0},
        {kLong36.c_str(), GateLong, {}, {"ScanActiveTags()"}, Unchanged,
         {"QorBVN: Gate name " + kLong36 + " is longer than 35 characters"}, 1},
    };
    return cases;
}

TEST(ReadGate, EveryTypeAndPath) {
    for (const ReadCase& c : Cases()) {
        for (uint8_t fill : kFillBytes) {
            SCOPED_TRACE(testing::Message() << c.name << " type " << c.type << " fill " << int(fill));
            Sim().reset();
            Script(c.answers);
            MessageRecorder messages;
            GateUnderTest gate(c.name, c.type, fill);
            const auto recordBefore = BytesOf(gate.record);
            ValueCell expected = gate.cell;
            c.change(expected);

            EXPECT_EQ(QorMain(gate.Request(5)), c.result);
            EXPECT_EQ(LoggedCalls(), c.calls);
            EXPECT_EQ(messages.Texts(), c.messages);
            EXPECT_EQ(BytesOf(gate.cell), BytesOf(expected));
            EXPECT_EQ(BytesOf(gate.record), recordBefore);
            for (const HostMessage& message : messages.messages) EXPECT_EQ(message.level, 32);
        }
    }
}

// The 16-bit types leave bytes 0 and 1 of the cell alone on every path that stores.
TEST(ReadGate, SixteenBitTypesKeepTheLowBytes) {
    for (const ReadCase& c : Cases()) {
        const uint32_t type = static_cast<uint32_t>(c.type);
        if (type != GateWord && type != GateWordAlt && type != GateShort && type != GateFlag) continue;
        for (uint8_t fill : kFillBytes) {
            Sim().reset();
            Script(c.answers);
            MessageRecorder messages;
            GateUnderTest gate(c.name, c.type, fill);
            QorMain(gate.Request(5));
            const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&gate.cell);
            EXPECT_EQ(bytes[0], fill) << c.name;
            EXPECT_EQ(bytes[1], fill) << c.name;
        }
    }
}

// Against the store itself: a word gate on a byte tag takes the byte retry on its own, and a
// tag deactivated behind the driver's back is recovered so the next read succeeds.
TEST(ReadGate, AgainstTheStore) {
    Sim().reset();
    ASSERT_EQ(Sim().defineTag("LEVEL", SimTagByte, 0, 0), 0);
    ASSERT_EQ(Sim().setTagActive("LEVEL", 1), 0);
    SimValue value = SimBits(0xC8);
    ASSERT_EQ(Sim().setValue("LEVEL", 0, &value), 0);
    MessageRecorder messages;
    GateUnderTest gate("LEVEL", GateWord, 0xFF);
    EXPECT_EQ(QorMain(gate.Request(5)), 0);
    EXPECT_EQ(gate.cell.value16, 200);
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{"ScanActiveTags()", "ReadTagWord(LEVEL)", "ReadTagByte(LEVEL)"}));

    ASSERT_EQ(Sim().setTagActive("LEVEL", 0), 0);
    Sim().clearLog();
    EXPECT_EQ(QorMain(gate.Request(5)), 1);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"QorBVN: Read Gate LEVEL failed (-2005)"}));
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{"ScanActiveTags()", "ReadTagWord(LEVEL)",
                                                       "DeactivateTag(LEVEL)", "ActivateTag(LEVEL)"}));
    EXPECT_EQ(QorMain(gate.Request(5)), 0);
    EXPECT_EQ(messages.messages.size(), 1u);
}

}  // namespace
