// Request 3: the five fields, the base name handed to ActivateTag, and the messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/driver_request.h"
#include "tests/support/gate_under_test.h"
#include "tests/support/message_recorder.h"
#include "tests/support/record_bytes.h"
#include "tests/support/tembrix3_sim.h"

namespace {

struct ActivateCase {
    const char* name;
    std::vector<SimAnswer> answers;
    std::vector<std::string> calls;
    std::vector<std::string> messages;
};

const std::string kLong35 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345678";   // 35 characters
const std::string kLong36 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";  // 36 characters
const std::string kLong39 = kLong36 + "[1]";

const std::vector<ActivateCase>& Cases() {
    static const std::vector<ActivateCase> cases = {
        {"TANK", {Answer(kActivateTag, 0)}, {"ActivateTag(TANK)"}, {}},
        {"TANK[3]", {Answer(kActivateTag, 0)}, {"ActivateTag(TANK)"}, {}},
        {"TANK[3]", {Answer(kActivateTag, -2001)}, {"ActivateTag(TANK)"},
         {"QorBVN: Can not Activate gate TANK[3], rc=-2001"}},
        // What read and write refuse is activated under its base name without a word.
        {"TANK[x]", {Answer(kActivateTag, 0)}, {"ActivateTag(TANK)"}, {}},
        {"TANK[", {Answer(kActivateTag, 0)}, {"ActivateTag(TANK)"}, {}},
        {"TANK[9999]", {Answer(kActivateTag, 0)}, {"ActivateTag(TANK)"}, {}},
        {"[5]", {Answer(kActivateTag, 0)}, {"ActivateTag()"}, {}},
        {"TANK]3", {Answer(kActivateTag, 0)}, {"ActivateTag(TANK]3)"}, {}},
        {"TANK", {Answer(kActivateTag, -2009)}, {"ActivateTag(TANK)"},
         {"QorBVN: Set PATH to the Brevanost BIN directory"}},
        {"TANK", {Answer(kActivateTag, 7)}, {"ActivateTag(TANK)"}, {"QorBVN: Can not Activate gate TANK, rc=7"}},
        {kLong35.c_str(), {Answer(kActivateTag, 0)}, {"ActivateTag(" + kLong35 + ")"}, {}},
        // Too long for the working copy: refused, never cut.
        {kLong36.c_str(), {}, {}, {"QorBVN: Gate name " + kLong36 + " is longer than 35 characters"}},
        {kLong39.c_str(), {}, {}, {"QorBVN: Gate name " + kLong39 + " is longer than 35 characters"}},
    };
    return cases;
}

TEST(ActivateGate, FieldsCallAndMessages) {
    for (const ActivateCase& c : Cases()) {
        for (uint8_t fill : kFillBytes) {
            SCOPED_TRACE(testing::Message() << c.name << " fill " << int(fill));
            Sim().reset();
            Script(c.answers);
            MessageRecorder messages;
            GateUnderTest gate(c.name, 42, fill);
            gate.record.activationIn1 = 7;
            gate.record.activationIn2 = 9;
            GateRecord expected = gate.record;
            expected.activationOut1 = 0;
            expected.activationOut2 = 9;
            expected.activationOut3 = 7;
            expected.activationOut4 = 255;
            expected.activationOut5 = 16;
            const auto cellBefore = BytesOf(gate.cell);

            EXPECT_EQ(QorMain(gate.Request(3)), 0);
            EXPECT_EQ(LoggedCalls(), c.calls);
            EXPECT_EQ(messages.Texts(), c.messages);
            EXPECT_EQ(BytesOf(gate.record), BytesOf(expected));
            EXPECT_EQ(BytesOf(gate.cell), cellBefore);
        }
    }
}

// The cell is not looked at: a null value is activated like any other gate.
TEST(ActivateGate, NeedsNoCell) {
    Sim().reset();
    ASSERT_EQ(Sim().defineTag("TANK", SimTagDouble, 1, 4), 0);
    GateUnderTest gate("TANK[2]", GateReal, 0);
    gate.record.value = nullptr;
    MessageRecorder messages;
    EXPECT_EQ(QorMain(gate.Request(3)), 0);
    EXPECT_TRUE(messages.messages.empty());

    // Without the data directory, only the PATH message.
    Sim().setDataDirectory(0);
    EXPECT_EQ(QorMain(gate.Request(3)), 0);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"QorBVN: Set PATH to the Brevanost BIN directory"}));
}

}  // namespace
