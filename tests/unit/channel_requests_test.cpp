// Requests 12, 13 and 15 on the channel record, through QorMain and the stand-in for the
// communications operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "driver/driver_request.h"
#include "serial/channel_config.h"
#include "tests/support/fake_comm.h"
#include "tests/support/message_recorder.h"
#include "tests/support/record_bytes.h"

namespace {

constexpr int32_t kStoredTimeout = 123;
constexpr PortSettings kStoredSettings = {4800, 7, 0, 2};
constexpr PortSettings kNewSettings = {19200, 8, 2, 0};
constexpr PortSettings kZeroBaudSettings = {0, 5, 1, 4};  // baud 0: none of it is taken
constexpr int32_t kKept = -1;       // no handle expected / device constant not checked

enum class Handle { None, Same, New };
enum class Earlier { Open, Closed };  // the earlier handle on the platform afterwards

struct StateCase {
    const char* what;
    bool open;                  // the channel holds the port of "COM1" when the request comes
    int32_t code;
    const char* name;           // request 15: the new name, 12 bytes taken as they stand
    int32_t timeout;            // request 15
    PortSettings settings;      // request 15
    CommOp failing;             // made to fail on its first call; Any: nothing fails
    bool twice;                 // COM1 lets itself be opened a second time
    int32_t result;
    Handle handle;
    Earlier earlier;
    int32_t constant;           // read total constant of the port afterwards; kKept: not checked
};

const char kNoNul[13] = "COM123456789";  // twelve characters, no NUL inside the field

const StateCase kCases[] = {
    // closed
    {"closed, 13 opens", false, 13, nullptr, 0, {}, CommOp::Any, false, 0, Handle::New, Earlier::Closed, 1000},
    {"closed, 15 opens", false, 15, "COM2", 5, kNewSettings, CommOp::Any, false, 0, Handle::New, Earlier::Closed, 50},
    {"closed, 13 fails", false, 13, nullptr, 0, {}, CommOp::CreateFileA, false, 2, Handle::None, Earlier::Closed, kKept},
    {"closed, 13 settings refused", false, 13, nullptr, 0, {}, CommOp::SetCommState, false, 2, Handle::None, Earlier::Closed, kKept},
    {"closed, 15 fails", false, 15, "COM2", 5, kNewSettings, CommOp::CreateFileA, false, 2, Handle::None, Earlier::Closed, kKept},
    {"closed, 15 missing device", false, 15, "COM7", 0, kNewSettings, CommOp::Any, false, 2, Handle::None, Earlier::Closed, kKept},
    {"closed, 12", false, 12, nullptr, 0, {}, CommOp::Any, false, 0, Handle::None, Earlier::Closed, kKept},
    {"closed, 15 keeps time-out and settings", false, 15, "COM2", 0, kZeroBaudSettings, CommOp::Any, false, 0, Handle::New, Earlier::Closed, kStoredTimeout * 10},
    {"closed, 15 time-out refused", false, 15, "COM2", 5, kNewSettings, CommOp::GetCommTimeouts, false, 0, Handle::New, Earlier::Closed, 1000},
    {"closed, 15 null device", false, 15, "NUL", 5, kNewSettings, CommOp::Any, false, 0, Handle::New, Earlier::Closed, kKept},
    // open
    {"open, 12 closes", true, 12, nullptr, 0, {}, CommOp::Any, false, 0, Handle::None, Earlier::Closed, kKept},
    {"open, 12 refused", true, 12, nullptr, 0, {}, CommOp::CloseHandle, false, 2, Handle::Same, Earlier::Open, kKept},
    {"open, 15 other name opens", true, 15, "COM2", 5, kNewSettings, CommOp::Any, false, 0, Handle::New, Earlier::Closed, 50},
    {"open, 15 other name fails", true, 15, "COM2", 5, kNewSettings, CommOp::CreateFileA, false, 2, Handle::None, Earlier::Closed, kKept},
    {"open, 15 letter case differs", true, 15, "com1", 5, kNewSettings, CommOp::Any, false, 0, Handle::New, Earlier::Closed, 50},
    {"open, 15 empty name", true, 15, "", 5, kNewSettings, CommOp::Any, false, 2, Handle::None, Earlier::Closed, kKept},
    {"open, 15 close refused, open", true, 15, "COM2", 5, kNewSettings, CommOp::CloseHandle, false, 0, Handle::New, Earlier::Closed, 50},
    {"open, 13 held", true, 13, nullptr, 0, {}, CommOp::Any, false, 2, Handle::Same, Earlier::Open, kKept},
    {"open, 15 same name held", true, 15, "COM1", 5, kNewSettings, CommOp::Any, false, 2, Handle::Same, Earlier::Open, kKept},
    // a device that takes a second open: the earlier handle is closed after the new open
    {"open twice, 13", true, 13, nullptr, 0, {}, CommOp::Any, true, 0, Handle::New, Earlier::Closed, 1000},
    {"open twice, 15 same name", true, 15, "COM1", 5, kNewSettings, CommOp::Any, true, 0, Handle::New, Earlier::Closed, 50},
    // names without their NUL inside the field
    {"open, 15 name fills its field", true, 15, kNoNul, 5, kNewSettings, CommOp::Any, false, 2, Handle::Same, Earlier::Open, kKept},
};

TEST(ChannelRequests, StateTable) {
    for (const StateCase& c : kCases) {
        for (uint8_t fill : kFillBytes) {
            SCOPED_TRACE(testing::Message() << c.what << ", fill " << int(fill));
            MessageRecorder messages;
            FakeComm fake;
            fake.AddDevice("COM1").exclusive = !c.twice;
            fake.AddDevice("COM2");
            fake.AddDevice("NUL", false);

            ChannelState channel;
            FillRecord(channel, fill);
            channel.timeout = kStoredTimeout;
            channel.portHandle = c.open ? fake.OpenDirect("COM1") : nullptr;
            std::memcpy(channel.portName, "COM1", 5);
            channel.portSettings = kStoredSettings;
            channel.portOptions = kDtrEnable;
            const PortHandle earlier = channel.portHandle;

            ChannelConfig config;
            FillRecord(config, fill);
            if (c.name != nullptr) std::memcpy(config.portName, c.name, std::min<size_t>(std::strlen(c.name) + 1, 12));
            config.timeout = c.timeout;
            config.portSettings = c.settings;
            const auto configBefore = BytesOf(config);

            if (c.failing != CommOp::Any) fake.FailOnce(c.failing, 1);
            DriverRequest request{&channel, c.code, {}, c.code == 15 ? &config : nullptr};
            EXPECT_EQ(QorMain(&request), c.result);

            // What the record should hold: request 15 stores before it opens, unless the name
            // was refused.
            ChannelState expected;
            FillRecord(expected, fill);
            expected.timeout = kStoredTimeout;
            std::memcpy(expected.portName, "COM1", 5);
            expected.portSettings = kStoredSettings;
            expected.portOptions = kDtrEnable;
            if (c.code == 15 && c.name != kNoNul) {
                if (c.timeout != 0) expected.timeout = c.timeout;
                std::memcpy(expected.portName, c.name, std::strlen(c.name) + 1);
                if (c.settings.baudRate != 0) expected.portSettings = c.settings;
            }
            if (c.handle == Handle::New) {
                EXPECT_NE(channel.portHandle, nullptr);
                EXPECT_NE(channel.portHandle, earlier);
                EXPECT_TRUE(fake.IsOpen(channel.portHandle));
                expected.active = 1;
                expected.portHandle = channel.portHandle;
            } else {
                expected.portHandle = c.handle == Handle::Same ? earlier : nullptr;
            }
            EXPECT_EQ(BytesOf(channel), BytesOf(expected));
            if (earlier != nullptr) EXPECT_EQ(fake.IsOpen(earlier), c.earlier == Earlier::Open);
            // Nothing is left open but the port the record names.
            EXPECT_EQ(fake.open.size(), channel.portHandle != nullptr ? 1u : 0u);

            if (c.constant != kKept) {
                ASSERT_NE(fake.DeviceOf(channel.portHandle), nullptr);
                EXPECT_EQ(fake.DeviceOf(channel.portHandle)->timeouts.ReadTotalTimeoutConstant,
                          static_cast<uint32_t>(c.constant));
            }
            EXPECT_EQ(BytesOf(config), configBefore);
            EXPECT_TRUE(messages.messages.empty());
        }
    }
}

// Any one platform call failing, once or from then on, in any request: the result is 0 or 2,
// the record never names a handle that is not open, and unless the platform refused a close
// nothing but the record's port is left open.
TEST(ChannelRequests, NoFailingCallLeaksOrLeavesADeadHandle) {
    struct Scenario {
        const char* what;
        int32_t code;
        const char* name;
        bool twice;
    };
    const Scenario scenarios[] = {
        {"12", 12, nullptr, false},          {"13 held", 13, nullptr, false},
        {"13 twice", 13, nullptr, true},     {"15 other name", 15, "COM2", false},
        {"15 same name twice", 15, "COM1", true},
    };
    for (const Scenario& s : scenarios) {
        for (int nth = 1; nth <= 10; ++nth) {
            for (bool onward : {false, true}) {
                SCOPED_TRACE(testing::Message() << s.what << ", call " << nth << (onward ? " on" : " once"));
                FakeComm fake;
                fake.AddDevice("COM1").exclusive = !s.twice;
                fake.AddDevice("COM2");
                ChannelState channel{};
                std::memcpy(channel.portName, "COM1", 5);
                channel.portSettings = kStoredSettings;
                channel.portHandle = fake.OpenDirect("COM1");
                ChannelConfig config{};
                if (s.name != nullptr) std::memcpy(config.portName, s.name, std::strlen(s.name) + 1);
                config.timeout = 9;
                config.portSettings = kNewSettings;
                if (onward) {
                    fake.FailFrom(CommOp::Any, nth);
                } else {
                    fake.FailOnce(CommOp::Any, nth);
                }
                DriverRequest request{&channel, s.code, {}, &config};
                const int32_t result = QorMain(&request);
                EXPECT_TRUE(result == 0 || result == 2) << result;
                if (channel.portHandle != nullptr) EXPECT_TRUE(fake.IsOpen(channel.portHandle));
                bool closeRefused = false;
                for (const CommCall& call : fake.CallsOf(CommOp::CloseHandle)) closeRefused |= call.failed;
                if (!closeRefused) EXPECT_EQ(fake.open.size(), channel.portHandle != nullptr ? 1u : 0u);
            }
        }
    }
}

// The settings reach the device as the record holds them after the request.
TEST(ChannelRequests, OpenUsesTheStoredSettingsAndOptions) {
    FakeComm fake;
    fake.AddDevice("COM2");
    ChannelState channel{};
    channel.timeout = 40;
    channel.portSettings = kStoredSettings;
    channel.portOptions = kRtsToggle;
    ChannelConfig config{};
    std::memcpy(config.portName, "COM2", 5);
    config.portSettings = kZeroBaudSettings;
    DriverRequest request{&channel, 15, {}, &config};
    ASSERT_EQ(QorMain(&request), 0);
    ASSERT_EQ(fake.CallsOf(CommOp::CreateFileA).at(0).name, "COM2");
    const DCB applied = fake.CallsOf(CommOp::SetCommState).at(0).dcb;
    EXPECT_EQ(applied.BaudRate, 4800u);
    EXPECT_EQ(applied.ByteSize, 7);
    EXPECT_EQ(applied.Parity, 2);
    EXPECT_EQ(applied.StopBits, 0);
    EXPECT_EQ(applied.fRtsControl, RTS_CONTROL_TOGGLE);
    EXPECT_EQ(fake.DeviceOf(channel.portHandle)->timeouts.ReadTotalTimeoutConstant, 400u);
}

// Request 13 on a stored name that fills all 12 bytes opens nothing: the name would run on
// into the settings.
TEST(ChannelRequests, StoredNameWithoutNulOpensNothing) {
    FakeComm fake;
    fake.AddDevice("COM123456789");
    ChannelState channel;
    FillRecord(channel, 0);
    std::memcpy(channel.portName, kNoNul, 12);
    const auto before = BytesOf(channel);
    DriverRequest request{&channel, 13, {}, nullptr};
    EXPECT_EQ(QorMain(&request), 2);
    EXPECT_EQ(BytesOf(channel), before);
    EXPECT_TRUE(fake.calls.empty());
}

// An 11-character name is the longest there is; it is stored with its NUL, and the bytes of
// a shorter name's field after its NUL are left alone.
TEST(ChannelRequests, LongestNameFitsAndShortNamesCopyOnlyTheirBytes) {
    FakeComm fake;
    fake.AddDevice("COM12345678");
    ChannelState channel;
    FillRecord(channel, 0xFF);
    channel.portHandle = nullptr;
    ChannelConfig config;
    FillRecord(config, 0xFF);
    std::memcpy(config.portName, "COM12345678", 12);
    config.timeout = 0;
    config.portSettings = kNewSettings;
    DriverRequest request{&channel, 15, {}, &config};
    EXPECT_EQ(QorMain(&request), 0);
    EXPECT_EQ(std::memcmp(channel.portName, "COM12345678", 12), 0);
    EXPECT_EQ(fake.CallsOf(CommOp::CreateFileA).at(0).name, "COM12345678");

    ASSERT_EQ(ClosePort(channel.portHandle), kPortClosed);
    channel.portHandle = nullptr;
    std::memcpy(config.portName, "X", 2);
    EXPECT_EQ(QorMain(&request), 2);
    const char stored[12] = {'X', '\0', 'M', '1', '2', '3', '4', '5', '6', '7', '8', '\0'};
    EXPECT_EQ(std::memcmp(channel.portName, stored, 12), 0);
}

}  // namespace
