// The port primitives, through the recording, fault-injecting stand-in for the seven
// communications operations.
#include <gtest/gtest.h>

#include <cstring>

#include "serial/comm_operations.h"
#include "serial/serial_port.h"
#include "tests/support/fake_comm.h"
#include "tests/support/record_bytes.h"

namespace {

using Ops = std::vector<CommOp>;
constexpr CommOp kCreate = CommOp::CreateFileA, kGetState = CommOp::GetCommState,
                 kSetState = CommOp::SetCommState, kGetTimeouts = CommOp::GetCommTimeouts,
                 kSetTimeouts = CommOp::SetCommTimeouts, kSetup = CommOp::SetupComm,
                 kClose = CommOp::CloseHandle;

uint32_t FlagWord(const DCB& dcb) {
    uint32_t word;
    std::memcpy(&word, reinterpret_cast<const uint8_t*>(&dcb) + 8, sizeof word);
    return word;
}

// The flag bits sit where the published masks put them, on both compilers' bit-field rules.
TEST(CommRecords, DcbFlagBitsMatchThePublishedMasks) {
    struct BitCase {
        const char* field;
        void (*set)(DCB&);
        uint32_t mask;
    };
    const BitCase cases[] = {
        {"fBinary", [](DCB& d) { d.fBinary = 1; }, 0x00000001},
        {"fParity", [](DCB& d) { d.fParity = 1; }, 0x00000002},
        {"fOutxCtsFlow", [](DCB& d) { d.fOutxCtsFlow = 1; }, 0x00000004},
        {"fOutxDsrFlow", [](DCB& d) { d.fOutxDsrFlow = 1; }, 0x00000008},
        {"fDtrControl", [](DCB& d) { d.fDtrControl = 3; }, 0x00000030},
        {"fDsrSensitivity", [](DCB& d) { d.fDsrSensitivity = 1; }, 0x00000040},
        {"fTXContinueOnXoff", [](DCB& d) { d.fTXContinueOnXoff = 1; }, 0x00000080},
        {"fOutX", [](DCB& d) { d.fOutX = 1; }, 0x00000100},
        {"fInX", [](DCB& d) { d.fInX = 1; }, 0x00000200},
        {"fErrorChar", [](DCB& d) { d.fErrorChar = 1; }, 0x00000400},
        {"fNull", [](DCB& d) { d.fNull = 1; }, 0x00000800},
        {"fRtsControl", [](DCB& d) { d.fRtsControl = 3; }, 0x00003000},
        {"fAbortOnError", [](DCB& d) { d.fAbortOnError = 1; }, 0x00004000},
        {"fDummy2", [](DCB& d) { d.fDummy2 = 0x1FFFF; }, 0xFFFF8000},
    };
    for (const BitCase& c : cases) {
        DCB dcb;
        FillRecord(dcb, 0);
        c.set(dcb);
        EXPECT_EQ(FlagWord(dcb), c.mask) << c.field;
    }
}

const PortSettings kSettings = {9600, 0x0108, 0x0102, 0x0302};  // high bytes must be dropped

struct OpenFixture : testing::Test {
    FakeComm fake;
    FakeDevice& port = fake.AddDevice("COM3");
    PortHandle handle = nullptr;

    int32_t Open(const char* name = "COM3", PortOptions options = 0,
                 const PortSettings& settings = kSettings) {
        return OpenPort(name, settings, options, &handle);
    }
};

TEST_F(OpenFixture, CallsInOrderWithTheFixedValues) {
    for (uint8_t fill : kFillBytes) {
        SCOPED_TRACE(testing::Message() << "device block filled with " << int(fill));
        FillRecord(port.state, fill);
        const DCB reported = port.state;
        fake.calls.clear();

        ASSERT_EQ(Open("COM3", kDtrEnable | kRtsHandshake), kPortOpened);
        EXPECT_EQ(fake.Sequence(), (Ops{kCreate, kGetState, kSetTimeouts, kSetState, kSetup}));

        const CommCall& create = fake.calls[0];
        EXPECT_EQ(create.name, "COM3");
        EXPECT_EQ(create.access, 0xC0000000u);
        EXPECT_EQ(create.shareMode, 0u);
        EXPECT_FALSE(create.securityGiven);
        EXPECT_EQ(create.disposition, 3u);
        EXPECT_EQ(create.flags, 0x80u);
        EXPECT_FALSE(create.templateGiven);
        EXPECT_EQ(handle, create.handle);
        for (size_t i = 1; i < fake.calls.size(); ++i) EXPECT_EQ(fake.calls[i].handle, handle);

        EXPECT_EQ(fake.calls[1].dcb.DCBlength, 28u);

        const COMMTIMEOUTS& timeouts = fake.calls[2].timeouts;
        EXPECT_EQ(timeouts.ReadIntervalTimeout, 0u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 1000u);
        EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u);
        EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 0u);

        // Every field the table names is written; all else stays as the device reported it.
        DCB expected = reported;
        expected.BaudRate = 9600;
        expected.fBinary = 1;
        expected.fParity = 1;
        expected.fOutxCtsFlow = 0;
        expected.fOutxDsrFlow = 0;
        expected.fDtrControl = DTR_CONTROL_ENABLE;
        expected.fDsrSensitivity = 0;
        expected.fOutX = 0;
        expected.fInX = 0;
        expected.fErrorChar = 0;
        expected.fNull = 0;
        expected.fRtsControl = RTS_CONTROL_HANDSHAKE;
        expected.fAbortOnError = 0;
        expected.ByteSize = 8;
        expected.Parity = 2;
        expected.StopBits = 2;
        expected.ErrorChar = static_cast<char>(0xFC);
        EXPECT_EQ(BytesOf(fake.calls[3].dcb), BytesOf(expected));

        EXPECT_EQ(fake.calls[4].inQueue, 1200u);
        EXPECT_EQ(fake.calls[4].outQueue, 1200u);
        EXPECT_TRUE(fake.IsOpen(handle));
        EXPECT_EQ(ClosePort(handle), kPortClosed);
    }
}

TEST_F(OpenFixture, HighSpeedsAreZeroExtended) {
    ASSERT_EQ(Open("COM3", 0, PortSettings{65535, 8, 0, 0}), kPortOpened);
    EXPECT_EQ(fake.CallsOf(kSetState).at(0).dcb.BaudRate, 65535u);
}

// Each failure, its result, and the close of a device that did open.
TEST(OpenPortFailures, CloseWhatWasOpened) {
    struct FailureCase {
        CommOp failing;
        bool closeRefused;  // the clean-up close fails too
        int32_t result;
        Ops sequence;
    };
    const FailureCase cases[] = {
        {kCreate, false, kPortNotOpened, {kCreate}},
        {kGetState, false, kPortStateUnreadable, {kCreate, kGetState, kClose}},
        {kSetTimeouts, false, kPortNotOpened, {kCreate, kGetState, kSetTimeouts, kClose}},
        {kSetState, false, kPortSettingsRefused, {kCreate, kGetState, kSetTimeouts, kSetState, kClose}},
        {kSetState, true, kPortSettingsRefused, {kCreate, kGetState, kSetTimeouts, kSetState, kClose}},
        {kSetup, false, kPortOpened, {kCreate, kGetState, kSetTimeouts, kSetState, kSetup}},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(testing::Message() << CommOpName(c.failing) << " fails, close refused "
                                        << c.closeRefused);
        FakeComm local;
        local.AddDevice("COM3");
        local.FailOnce(c.failing, 1);
        if (c.closeRefused) local.FailOnce(kClose, 1);
        PortHandle place = nullptr;
        EXPECT_EQ(OpenPort("COM3", kSettings, 0, &place), c.result);
        EXPECT_EQ(local.Sequence(), c.sequence);
        if (c.failing == kCreate) {
            EXPECT_EQ(place, INVALID_HANDLE_VALUE);
        } else {
            EXPECT_EQ(place, local.calls[0].handle);
        }
        // Only a success, or a close the platform refused, leaves the device open.
        EXPECT_EQ(local.open.size(), c.result == kPortOpened || c.closeRefused ? 1u : 0u);
    }
}

TEST_F(OpenFixture, MissingAndHeldDevicesDoNotOpen) {
    EXPECT_EQ(Open("COM9"), kPortNotOpened);
    EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
    ASSERT_EQ(Open("COM3"), kPortOpened);
    const PortHandle first = handle;
    EXPECT_EQ(Open("COM3"), kPortNotOpened);
    EXPECT_EQ(handle, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(fake.IsOpen(first));
    EXPECT_TRUE(fake.CallsOf(kClose).empty());
}

// "NUL" exactly is opened and left alone; any other spelling is configured like a port, and
// the null device refuses to report a state.
TEST(OpenPortNullDevice, OnlyTheExactNameSkipsConfiguration) {
    struct NullCase {
        const char* name;
        int32_t result;
        Ops sequence;
    };
    const NullCase cases[] = {
        {"NUL", kPortOpened, {kCreate}},
        {"nul", kPortStateUnreadable, {kCreate, kGetState, kClose}},
        {"Nul", kPortStateUnreadable, {kCreate, kGetState, kClose}},
    };
    for (const NullCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeComm fake;
        fake.AddDevice("NUL", false);
        PortHandle handle = nullptr;
        EXPECT_EQ(OpenPort(c.name, kSettings, 0, &handle), c.result);
        EXPECT_EQ(fake.Sequence(), c.sequence);
        EXPECT_EQ(fake.IsOpen(handle), c.result == kPortOpened);
    }
}

TEST(OpenPortOptions, EnableBeatsHandshakeBeatsToggle) {
    struct OptionCase {
        PortOptions options;
        uint32_t dtr;
        uint32_t rts;
    };
    const OptionCase cases[] = {
        {0x0000, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE},
        {0x0001, DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE},
        {0x0100, DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE},
        {0x8000, DTR_CONTROL_HANDSHAKE, RTS_CONTROL_DISABLE},
        {0x8100, DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE},
        {0x8001, DTR_CONTROL_ENABLE, RTS_CONTROL_DISABLE},
        {0x0002, DTR_CONTROL_DISABLE, RTS_CONTROL_ENABLE},
        {0x0200, DTR_CONTROL_DISABLE, RTS_CONTROL_ENABLE},
        {0x1000, DTR_CONTROL_DISABLE, RTS_CONTROL_HANDSHAKE},
        {0x2000, DTR_CONTROL_DISABLE, RTS_CONTROL_TOGGLE},
        {0x3000, DTR_CONTROL_DISABLE, RTS_CONTROL_HANDSHAKE},
        {0x2200, DTR_CONTROL_DISABLE, RTS_CONTROL_ENABLE},
        {0x1002, DTR_CONTROL_DISABLE, RTS_CONTROL_ENABLE},
        {0x4000, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE},
        {0x4CFC, DTR_CONTROL_DISABLE, RTS_CONTROL_DISABLE},  // every bit without an effect
        {0xB0FC, DTR_CONTROL_HANDSHAKE, RTS_CONTROL_HANDSHAKE},
        {0xFFFF, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE},
    };
    for (const OptionCase& c : cases) {
        for (uint8_t fill : kFillBytes) {
            SCOPED_TRACE(testing::Message() << std::hex << "options 0x" << c.options << " fill "
                                            << int(fill));
            FakeComm fake;
            FillRecord(fake.AddDevice("COM1").state, fill);
            PortHandle handle = nullptr;
            ASSERT_EQ(OpenPort("COM1", kSettings, c.options, &handle), kPortOpened);
            const DCB applied = fake.CallsOf(CommOp::SetCommState).at(0).dcb;
            EXPECT_EQ(applied.fDtrControl, c.dtr);
            EXPECT_EQ(applied.fRtsControl, c.rts);
        }
    }
}

TEST(ClosePort, ClosesOrReportsTheRefusal) {
    FakeComm fake;
    fake.AddDevice("COM1");
    const PortHandle handle = fake.OpenDirect("COM1");
    fake.FailOnce(CommOp::CloseHandle, 1);
    EXPECT_EQ(ClosePort(handle), kPortCloseRefused);
    EXPECT_TRUE(fake.IsOpen(handle));
    EXPECT_EQ(ClosePort(handle), kPortClosed);
    EXPECT_FALSE(fake.IsOpen(handle));
    EXPECT_EQ(fake.Sequence(), (Ops{kClose, kClose}));
}

TEST(SetReadTimeout, ReplacesOnlyTheReadTotalConstant) {
    struct TimeoutCase {
        uint32_t before;  // ReadTotalTimeoutConstant in force
        int32_t count;
        int32_t result;
        bool writes;
        uint32_t after;
    };
    const TimeoutCase cases[] = {
        {1000, 5, 100, true, 50},
        {50, 5, 5, false, 50},          // already in force: nothing written
        {1005, 7, 100, true, 70},       // truncating division
        {1000, 0, 100, true, 0},
        {0, -1, 0, true, 0xFFFFFFF6u},  // count × 10 wraps in 32 bits
        {0xFFFFFFF6u, -1, -1, false, 0xFFFFFFF6u},
        {9, INT32_MAX, 0, true, 0xFFFFFFF6u},
        {0xFFFFFFFFu, 0x1999999A, 0, true, 4},
        {0x80000005u, 3, -214748364, true, 30},  // signed division, toward zero
    };
    for (const TimeoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "before " << c.before << " count " << c.count);
        FakeComm fake;
        FakeDevice& device = fake.AddDevice("COM1");
        device.timeouts = {11, 22, c.before, 33, 44};
        const PortHandle handle = fake.OpenDirect("COM1");
        EXPECT_EQ(SetReadTimeout(handle, c.count), c.result);
        EXPECT_EQ(fake.Sequence(), (c.writes ? Ops{kGetTimeouts, kSetTimeouts} : Ops{kGetTimeouts}));
        EXPECT_EQ(device.timeouts.ReadIntervalTimeout, 11u);
        EXPECT_EQ(device.timeouts.ReadTotalTimeoutMultiplier, 22u);
        EXPECT_EQ(device.timeouts.ReadTotalTimeoutConstant, c.after);
        EXPECT_EQ(device.timeouts.WriteTotalTimeoutMultiplier, 33u);
        EXPECT_EQ(device.timeouts.WriteTotalTimeoutConstant, 44u);
    }
}

TEST(SetReadTimeout, PlatformFailuresGiveZeroAndChangeNothing) {
    const CommOp failing[] = {kGetTimeouts, kSetTimeouts};
    for (CommOp op : failing) {
        SCOPED_TRACE(CommOpName(op));
        FakeComm fake;
        FakeDevice& device = fake.AddDevice("COM1");
        device.timeouts = {0, 0, 1000, 0, 0};
        const PortHandle handle = fake.OpenDirect("COM1");
        fake.FailOnce(op, 1);
        EXPECT_EQ(SetReadTimeout(handle, 5), 0);
        EXPECT_EQ(device.timeouts.ReadTotalTimeoutConstant, 1000u);
        EXPECT_EQ(fake.Sequence().size(), op == kGetTimeouts ? 1u : 2u);
    }
    // The null device reports no time-outs at all.
    FakeComm fake;
    fake.AddDevice("NUL", false);
    EXPECT_EQ(SetReadTimeout(fake.OpenDirect("NUL"), 5), 0);
    EXPECT_EQ(fake.Sequence(), Ops{kGetTimeouts});
}

}  // namespace
