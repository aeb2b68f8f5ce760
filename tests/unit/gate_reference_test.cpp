// SplitArrayReference: NAME[index] taken apart, and what it refuses.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "gates/gate_record.h"
#include "tests/support/message_recorder.h"

namespace {

struct ReferenceCase {
    const char* name;
    bool split;
    const char* base;  // on success
    int32_t index;     // on success
};

const ReferenceCase kCases[] = {
    {"TANK[3]", true, "TANK", 3},
    {"TANK[ 3 ]", true, "TANK", 3},
    {"TANK[\t\n3]", true, "TANK", 3},
    {"TANK[+3]", true, "TANK", 3},
    {"TANK[3x]", true, "TANK", 3},
    {"TANK[3]abc", true, "TANK", 3},
    {"TANK[-1]", true, "TANK", -1},
    {"TANK[0x10]", true, "TANK", 0},
    {"TANK[007]", true, "TANK", 7},
    {"TANK[1][2]", true, "TANK", 1},
    {"[5]", true, "", 5},
    {"TANK[2147483647]", true, "TANK", INT32_MAX},
    {"TANK[-2147483648]", true, "TANK", INT32_MIN},
    // Beyond the 32-bit range: the nearest end of it.
    {"TANK[2147483648]", true, "TANK", INT32_MAX},
    {"TANK[99999999999999999999]", true, "TANK", INT32_MAX},
    {"TANK[-99999999999]", true, "TANK", INT32_MIN},
    {"TANK[9998]", true, "TANK", 9998},
    {"TANK[]", false, "", 0},
    {"TANK[x]", false, "", 0},
    {"TANK[+]", false, "", 0},
    {"TANK[- 3]", false, "", 0},
    {"TANK[]5]", false, "", 0},
    {"TANK[9999]", false, "", 0},
    {"TANK[09999]", false, "", 0},
    {"TANK[3", false, "", 0},
    {"TANK]3[", false, "", 0},
    {"TANK[3)", false, "", 0},
};

TEST(SplitArrayReference, BaseNameAndIndex) {
    for (const ReferenceCase& c : kCases) {
        SCOPED_TRACE(c.name);
        MessageRecorder messages;
        GateRecord gate{};
        gate.name = c.name;
        const ArrayReference reference = SplitArrayReference(gate);
        EXPECT_EQ(reference.split, c.split);
        if (c.split) {
            EXPECT_STREQ(reference.baseName, c.base);
            EXPECT_EQ(reference.index, c.index);
            EXPECT_TRUE(messages.messages.empty());
        } else {
            EXPECT_EQ(messages.Texts(),
                      std::vector<std::string>{"QorBVN: Illegal array index for gate " + std::string(c.name)});
        }
    }
}

TEST(SplitArrayReference, NameLengthLimit) {
    MessageRecorder messages;
    GateRecord gate{};
    const std::string fits = std::string(30, 'N') + "[123]";  // 35 characters
    gate.name = fits.c_str();
    ArrayReference reference = SplitArrayReference(gate);
    EXPECT_TRUE(reference.split);
    EXPECT_EQ(std::string(reference.baseName), std::string(30, 'N'));
    EXPECT_EQ(reference.index, 123);

    // One more character would be cut; refused instead, with no index message.
    const std::string over = std::string(31, 'N') + "[123]";
    gate.name = over.c_str();
    reference = SplitArrayReference(gate);
    EXPECT_FALSE(reference.split);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"QorBVN: Gate name " + over + " is longer than 35 characters"});
}

}  // namespace
