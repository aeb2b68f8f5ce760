// Request 1: the channel's active flag and time-out.
#include <gtest/gtest.h>

#include "driver/driver_request.h"
#include "tests/support/record_bytes.h"

namespace {

struct ActivationCase {
    int32_t active;
    int32_t timeout;
    int32_t storedTimeout;  // what the channel holds afterwards; kKept: its earlier value
};
constexpr int32_t kKept = 0x5A5A5A5A;

const ActivationCase kCases[] = {
    {0, 250, kKept},  {1, 50, 100},   {1, 0, 100},     {1, -5, 100}, {1, INT32_MIN, 100},
    {1, 100, 100},    {1, 250, 250},  {7, 300, 300},   {-1, 99, 100}, {1, INT32_MAX, INT32_MAX},
};

TEST(SetChannelActive, StoresFlagAndTimeout) {
    for (const ActivationCase& c : kCases) {
        for (uint8_t fill : kFillBytes) {
            SCOPED_TRACE(testing::Message() << "active " << c.active << " timeout " << c.timeout
                                            << " fill " << int(fill));
            ChannelState channel;
            FillRecord(channel, fill);
            channel.timeout = kKept;
            ChannelState expected = channel;
            expected.active = c.active;
            expected.timeout = c.storedTimeout;

            ChannelActivation activation;
            FillRecord(activation, fill);
            activation.active = c.active;
            activation.timeout = c.timeout;
            const auto activationBefore = BytesOf(activation);

            DriverRequest request{&channel, 1, {}, &activation};
            EXPECT_EQ(QorMain(&request), 0);
            EXPECT_EQ(BytesOf(channel), BytesOf(expected));
            EXPECT_EQ(BytesOf(activation), activationBefore);
        }
    }
}

TEST(SetChannelActive, LeavesAnOpenPortAlone) {
    ChannelState channel{};
    channel.portHandle = reinterpret_cast<PortHandle>(0x1234);
    ChannelActivation activation{};
    activation.active = 1;
    activation.timeout = 500;
    DriverRequest request{&channel, 1, {}, &activation};
    EXPECT_EQ(QorMain(&request), 0);
    EXPECT_EQ(channel.portHandle, reinterpret_cast<PortHandle>(0x1234));
    EXPECT_EQ(channel.timeout, 500);
}

}  // namespace
