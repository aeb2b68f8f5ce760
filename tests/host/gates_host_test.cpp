// The built driver library serving gates from the simulated Tembrix3 library, the way a host
// calls it: activate, write and read round trips for every gate type, an array element, the
// byte retry and the recovery, each call keeping the stack balanced.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gates/gate_record.h"
#include "tests/support/driver_library.h"
#include "tests/support/gate_under_test.h"
#include "tests/support/message_recorder.h"
#include "tests/support/tembrix3_sim.h"

namespace {

struct HostedGates : testing::Test {
    void SetUp() override {
        driver = LoadDriverLibrary(QOR_DRIVER_PATH);
        ASSERT_NE(driver.qorMain, nullptr) << driver.error;
        Sim().reset();
    }
    void TearDown() override { UnloadDriverLibrary(driver); }

    int32_t Call(GateUnderTest& gate, int32_t code) {
        const CheckedResult call = CallChecked(driver.qorMain, gate.Request(code));
        EXPECT_EQ(call.stackDelta, 0) << "code " << code << " gate " << gate.name;
        return call.result;
    }

    DriverLibrary driver;
};

struct RoundTrip {
    const char* name;
    int32_t tagType;
    int32_t gateType;
    void (*put)(ValueCell& cell);
    uint32_t stored;  // the tag's bits afterwards (integer tags)
};

const RoundTrip kRoundTrips[] = {
    {"WORD", SimTagWord, GateWord, [](ValueCell& c) { c.value16 = 0xBEEF; }, 0xBEEF},
    {"SHORT", SimTagShort, GateShort, [](ValueCell& c) { c.value16 = 0x8001; }, 0x8001},
    {"WORDALT", SimTagWord, GateWordAlt, [](ValueCell& c) { c.value16 = 1234; }, 1234},
    {"REAL", SimTagDouble, GateReal, [](ValueCell& c) { c.real = 0.1f; }, 0},
    {"LONG", SimTagLong, GateLong, [](ValueCell& c) { c.value32 = 0x80000001u; }, 0x80000001u},
    {"DWORD", SimTagDword, GateDword, [](ValueCell& c) { c.value32 = 0xFFFFFFFFu; }, 0xFFFFFFFFu},
    {"FLAG", SimTagFlags, GateFlag, [](ValueCell& c) { c.value16 = 0x0100; }, 1},
    {"TEXT", SimTagText, GateText, [](ValueCell& c) { std::strcpy(c.text, "pump running"); }, 0},
};

TEST_F(HostedGates, EveryTypeRoundTrips) {
    MessageRecorder messages;
    for (const RoundTrip& trip : kRoundTrips) {
        SCOPED_TRACE(trip.name);
        ASSERT_EQ(Sim().defineTag(trip.name, trip.tagType, 0, 0), 0);
        GateUnderTest writer(trip.name, trip.gateType, 0x00);
        EXPECT_EQ(Call(writer, 3), 0);
        EXPECT_EQ(writer.record.activationOut4, 255);
        trip.put(writer.cell);
        EXPECT_EQ(Call(writer, 7), 0);

        SimValue held;
        ASSERT_EQ(Sim().getValue(trip.name, 0, &held), 0);
        if (trip.gateType == GateReal) {
            EXPECT_EQ(held.real, static_cast<double>(0.1f));
        } else if (trip.gateType == GateText) {
            EXPECT_STREQ(held.text, "pump running");
        } else {
            EXPECT_EQ(held.bits, trip.stored);
        }

        GateUnderTest reader(trip.name, trip.gateType, 0xFF);
        EXPECT_EQ(Call(reader, 5), 0);
        ValueCell expected;
        std::memset(&expected, 0xFF, sizeof expected);
        trip.put(expected);
        if (trip.gateType == GateFlag) expected.value16 = 1;
        if (trip.gateType == GateText) {
            EXPECT_STREQ(reader.cell.text, "pump running");
        } else {
            EXPECT_EQ(BytesOf(reader.cell), BytesOf(expected));
        }
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(HostedGates, ArrayElement) {
    ASSERT_EQ(Sim().defineTag("TANK", SimTagDouble, 1, 4), 0);
    GateUnderTest writer("TANK[3]", GateReal, 0x00);
    EXPECT_EQ(Call(writer, 3), 0);
    writer.cell.real = 2.5f;
    EXPECT_EQ(Call(writer, 7), 0);
    SimValue held;
    ASSERT_EQ(Sim().getValue("TANK", 3, &held), 0);
    EXPECT_EQ(held.real, 2.5);

    GateUnderTest reader("TANK[3]", GateReal, 0xFF);
    EXPECT_EQ(Call(reader, 5), 0);
    EXPECT_EQ(reader.cell.real, 2.5f);
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{"ActivateTag(TANK)", "WriteArrayDouble(TANK, 1, 3, 3, 2.5)",
                                                       "ScanActiveTags()", "ReadArrayDouble(TANK, 1, 3, 3)"}));
}

TEST_F(HostedGates, WordGateOnAByteTagRetriesAsByte) {
    ASSERT_EQ(Sim().defineTag("LEVEL", SimTagByte, 0, 0), 0);
    GateUnderTest gate("LEVEL", GateWord, 0x00);
    EXPECT_EQ(Call(gate, 3), 0);
    gate.cell.value16 = 300;
    EXPECT_EQ(Call(gate, 7), 0);
    gate.cell.value16 = 0xFFFF;
    EXPECT_EQ(Call(gate, 5), 0);
    EXPECT_EQ(gate.cell.value16, 44);
    EXPECT_EQ(LoggedCalls(), (std::vector<std::string>{"ActivateTag(LEVEL)", "WriteTagWord(LEVEL, 300)",
                                                       "WriteTagByte(LEVEL, 44)", "ScanActiveTags()",
                                                       "ReadTagWord(LEVEL)", "ReadTagByte(LEVEL)"}));
}

TEST_F(HostedGates, LostTagIsRecoveredAndReportedToTheHost) {
    MessageRecorder messages;
    ASSERT_EQ(Sim().defineTag("PUMP", SimTagLong, 0, 0), 0);
    GateUnderTest gate("PUMP", GateLong, 0x00);
    EXPECT_EQ(Call(gate, 3), 0);
    ASSERT_EQ(Sim().setTagActive("PUMP", 0), 0);  // another client deactivated it

    EXPECT_EQ(Call(gate, 5), 1);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].level, 32);
    EXPECT_EQ(messages.messages[0].format, "QorBVN: Read Gate %s failed (%d)");
    EXPECT_EQ(messages.messages[0].text, "QorBVN: Read Gate PUMP failed (-2005)");
    EXPECT_EQ(Call(gate, 5), 0);  // re-activated by the recovery

    // Without the data directory the activation asks for PATH.
    Sim().setDataDirectory(0);
    EXPECT_EQ(Call(gate, 3), 0);
    EXPECT_EQ(messages.Texts().back(), "QorBVN: Set PATH to the Brevanost BIN directory");
}

}  // namespace
