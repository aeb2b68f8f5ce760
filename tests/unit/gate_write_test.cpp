// Request 7: the write by type and path, the byte retry, the refusals and the one message;
// checked against the simulated library's log. Nothing of the host's is ever changed.
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

typedef void (*CellValue)(ValueCell& cell);

struct WriteCase {
    const char* name;
    int32_t type;
    CellValue value;  // what the host put into the cell
    std::vector<SimAnswer> answers;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    int32_t result;
};

void Word300(ValueCell& c) { c.value16 = 300; }
void NoValue(ValueCell&) {}

const std::string kLong35 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345[7]";   // 35 characters
const std::string kLong36 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456[7]";  // 36 characters
const std::string kPlainLong = std::string(60, 'P');
const std::string kEighty(80, 'A');

const std::vector<WriteCase>& Cases() {
    static const std::vector<WriteCase> cases = {
        // Plain gates.
        {"TANK", GateWord, Word300, {}, {"WriteTagWord(TANK, 300)"},  // store: no such tag
         {"QorBVN: Write to Gate TANK failed (-2001)"}, 1},
        {"TANK", GateWord, Word300, {Answer(kWriteTagWord, 0)}, {"WriteTagWord(TANK, 300)"}, {}, 0},
        {"TANK", GateWordAlt, Word300, {Answer(kWriteTagWord, -2000), Answer(kWriteTagByte, 0)},
         {"WriteTagWord(TANK, 300)", "WriteTagByte(TANK, 44)"}, {}, 0},
        {"TANK", GateWord, Word300, {Answer(kWriteTagWord, -2000), Answer(kWriteTagByte, -2004)},
         {"WriteTagWord(TANK, 300)", "WriteTagByte(TANK, 44)"},
         {"QorBVN: Write to Gate TANK failed (-2004)"}, 1},
        {"TANK", GateWord, Word300, {Answer(kWriteTagWord, -2000), Answer(kWriteTagByte, -2000)},
         {"WriteTagWord(TANK, 300)", "WriteTagByte(TANK, 44)"},
         {"QorBVN: Write to Gate TANK failed (-2000)"}, 1},
        {"TANK", GateWord, Word300, {Answer(kWriteTagWord, -2005)}, {"WriteTagWord(TANK, 300)"},
         {"QorBVN: Write to Gate TANK failed (-2005)"}, 1},
        {"TANK", GateShort, [](ValueCell& c) { c.value16 = 0x8001; }, {Answer(kWriteTagShort, -2000)},
         {"WriteTagShort(TANK, 32769)"}, {"QorBVN: Write to Gate TANK failed (-2000)"}, 1},
        {"TANK", GateReal, [](ValueCell& c) { c.real = 0.1f; }, {Answer(kWriteTagDouble, 0)},
         {"WriteTagDouble(TANK, 0.10000000149011612)"}, {}, 0},
        {"TANK", GateLong, [](ValueCell& c) { c.value32 = 0x80000001u; }, {Answer(kWriteTagLong, 0)},
         {"WriteTagLong(TANK, 2147483649)"}, {}, 0},
        {"TANK", GateDword, [](ValueCell& c) { c.value32 = 0xFFFFFFFFu; }, {Answer(kWriteTagDword, -7)},
         {"WriteTagDword(TANK, 4294967295)"}, {"QorBVN: Write to Gate TANK failed (-7)"}, 1},
        {"TANK", GateFlag, [](ValueCell& c) { c.value16 = 0x0100; }, {Answer(kWriteTagFlags, 0)},
         {"WriteTagFlags(TANK, 1, 1, 1)"}, {}, 0},
        {"TANK", GateFlag, [](ValueCell& c) { c.value16 = 0xFFFF; }, {Answer(kWriteTagFlags, 0)},
         {"WriteTagFlags(TANK, 1, 1, 1)"}, {}, 0},
        {"TANK", GateFlag, [](ValueCell& c) { c.value16 = 0; }, {Answer(kWriteTagFlags, 0)},
         {"WriteTagFlags(TANK, 1, 1, 0)"}, {}, 0},
        {"TANK", GateText, [](ValueCell& c) { std::memcpy(c.text, "hello", 6); }, {Answer(kWriteTagText, 0)},
         {"WriteTagText(TANK, 5, \"hello\")"}, {}, 0},
        {"TANK", GateText, [](ValueCell& c) { c.text[0] = '\0'; }, {Answer(kWriteTagText, 0)},
         {"WriteTagText(TANK, 0, \"\")"}, {}, 0},
        // A cell with no NUL in its 80 bytes: length 80, never read past the cell.
        {"TANK", GateText, [](ValueCell& c) { std::memset(c.text, 'A', sizeof c.text); },
         {Answer(kWriteTagText, 0)}, {"WriteTagText(TANK, 80, \"" + kEighty + "\")"}, {}, 0},
        // A type outside 0..7: no call, no message, and not written.
        {"TANK", 8, Word300, {}, {}, {}, 1},
        {"TANK", -1, Word300, {}, {}, {}, 1},
        {kPlainLong.c_str(), GateLong, [](ValueCell& c) { c.value32 = 1; }, {Answer(kWriteTagLong, 0)},
         {"WriteTagLong(" + kPlainLong + ", 1)"}, {}, 0},

        // Array elements.
        {"TANK[3]", GateLong, [](ValueCell& c) { c.value32 = 0x12345678; }, {Answer(kWriteArrayLong, -2003)},
         {"WriteArrayLong(TANK, 1, 3, 3, 305419896)"}, {"QorBVN: Write to Gate TANK[3] failed (-2003)"}, 1},
        {"TANK[3]", GateWord, Word300, {Answer(kWriteArrayWord, -2000), Answer(kWriteArrayByte, 0)},
         {"WriteArrayWord(TANK, 1, 3, 3, 300)", "WriteArrayByte(TANK, 1, 3, 3, 44)"}, {}, 0},
        {"TANK[3]", GateWordAlt, Word300, {Answer(kWriteArrayWord, -2000), Answer(kWriteArrayByte, -2003)},
         {"WriteArrayWord(TANK, 1, 3, 3, 300)", "WriteArrayByte(TANK, 1, 3, 3, 44)"},
         {"QorBVN: Write to Gate TANK[3] failed (-2003)"}, 1},
        {"TANK[ -2 ]", GateShort, [](ValueCell& c) { c.value16 = 0xFFFE; }, {Answer(kWriteArrayShort, 0)},
         {"WriteArrayShort(TANK, 1, -2, -2, 65534)"}, {}, 0},
        {"TANK[1]", GateReal, [](ValueCell& c) { c.real = 0.1f; }, {Answer(kWriteArrayDouble, 0)},
         {"WriteArrayDouble(TANK, 1, 1, 1, 0.10000000149011612)"}, {}, 0},
        {"TANK[0]", GateDword, [](ValueCell& c) { c.value32 = 9; }, {Answer(kWriteArrayDword, -2005)},
         {"WriteArrayDword(TANK, 1, 0, 0, 9)"}, {"QorBVN: Write to Gate TANK[0] failed (-2005)"}, 1},
        {"TANK[3]", GateFlag, Word300, {}, {}, {"QorBVN: Can not write Gate TANK[3] as array"}, 1},
        {"TANK[3]", GateText, NoValue, {}, {}, {"QorBVN: Can not write Gate TANK[3] as array"}, 1},
        {"TANK[x]", GateText, NoValue, {}, {}, {"QorBVN: Illegal array index for gate TANK[x]"}, 1},
        {"TANK[9999]", GateLong, NoValue, {}, {}, {"QorBVN: Illegal array index for gate TANK[9999]"}, 1},
        {"TANK[3", GateLong, NoValue, {}, {}, {"QorBVN: Illegal array index for gate TANK[3"}, 1},
        {"TANK[3]", 8, NoValue, {}, {}, {}, 1},
        {kLong35.c_str(), GateDword, [](ValueCell& c) { c.value32 = 1; }, {Answer(kWriteArrayDword, 0)},
         {"WriteArrayDword(ABCDEFGHIJKLMNOPQRSTUVWXYZ012345, 1, 7, 7, 1)"}, {}, 0},
        {kLong36.c_str(), GateDword, NoValue, {}, {},
         {"QorBVN: Gate name " + kLong36 + " is longer than 35 characters"}, 1},
    };
    return cases;
}

TEST(WriteGate, EveryTypeAndPath) {
    for (const WriteCase& c : Cases()) {
        for (uint8_t fill : kFillBytes) {
            SCOPED_TRACE(testing::Message() << c.name << " type " << c.type << " fill " << int(fill));
            Sim().reset();
            Script(c.answers);
            MessageRecorder messages;
            GateUnderTest gate(c.name, c.type, fill);
            c.value(gate.cell);
            const auto recordBefore = BytesOf(gate.record);
            const auto cellBefore = BytesOf(gate.cell);

            EXPECT_EQ(QorMain(gate.Request(7)), c.result);
            EXPECT_EQ(LoggedCalls(), c.calls);
            EXPECT_EQ(messages.Texts(), c.messages);
            EXPECT_EQ(BytesOf(gate.cell), cellBefore);
            EXPECT_EQ(BytesOf(gate.record), recordBefore);
        }
    }
}

// Against the store: a word gate written to a byte tag lands as its low byte, and what a
// gate writes reads back through the library with its bits kept.
TEST(WriteGate, AgainstTheStore) {
    Sim().reset();
    ASSERT_EQ(Sim().defineTag("LEVEL", SimTagByte, 0, 0), 0);
    ASSERT_EQ(Sim().defineTag("FLOW", SimTagShort, 10, 5), 0);
    ASSERT_EQ(Sim().setTagActive("LEVEL", 1), 0);
    ASSERT_EQ(Sim().setTagActive("FLOW", 1), 0);
    MessageRecorder messages;

    GateUnderTest level("LEVEL", GateWord, 0);
    level.cell.value16 = 300;
    EXPECT_EQ(QorMain(level.Request(7)), 0);
    SimValue value;
    ASSERT_EQ(Sim().getValue("LEVEL", 0, &value), 0);
    EXPECT_EQ(value.bits, 44u);

    GateUnderTest flow("FLOW[14]", GateShort, 0);
    flow.cell.value16 = 0x8000;
    EXPECT_EQ(QorMain(flow.Request(7)), 0);
    ASSERT_EQ(Sim().getValue("FLOW", 14, &value), 0);
    EXPECT_EQ(value.bits, 0x8000u);

    GateUnderTest outside("FLOW[15]", GateShort, 0);
    EXPECT_EQ(QorMain(outside.Request(7)), 1);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"QorBVN: Write to Gate FLOW[15] failed (-2003)"}));
}

}  // namespace
