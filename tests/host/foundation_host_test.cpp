// The built driver library as a host sees it: loaded by path, QorMain by name, the callee
// removing its one argument.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/driver_library.h"
#include "tests/support/record_bytes.h"

namespace {

struct LoadedDriver : testing::Test {
    void SetUp() override {
        driver = LoadDriverLibrary(QOR_DRIVER_PATH);
        ASSERT_NE(driver.qorMain, nullptr) << driver.error;
    }
    void TearDown() override { UnloadDriverLibrary(driver); }
    DriverLibrary driver;
};

TEST_F(LoadedDriver, EveryCodeKeepsTheStackBalanced) {
    for (int32_t code = -2; code <= 17; ++code) {
        // Codes whose handlers need records get valid, zeroed ones.
        ChannelState channel{};
        uint8_t params[128] = {};
        DriverRequest request{&channel, code, {}, params};
        if (code == 3 || code == 5 || code == 7 || code == 12 || code == 13 || code == 15) continue;
        const CheckedResult call = CallChecked(driver.qorMain, &request);
        EXPECT_EQ(call.stackDelta, 0) << "code " << code;
    }
}

TEST_F(LoadedDriver, IdentifiesItself) {
    DriverInfo info;
    FillRecord(info, 0xFF);
    DriverRequest request{nullptr, 14, {}, &info};
    const CheckedResult call = CallChecked(driver.qorMain, &request);
    EXPECT_EQ(call.result, 0);
    EXPECT_EQ(call.stackDelta, 0);
    EXPECT_EQ(info.info0, 70);
    EXPECT_STREQ(info.vendor, "Tarnovelquist");
    EXPECT_EQ(std::strlen(info.banner), 385u);
    for (uint8_t byte : info.hostOwned) EXPECT_EQ(byte, 0xFF);
}

TEST_F(LoadedDriver, AnswersRequestOneAndTheFixedCodes) {
    ChannelState channel{};
    ChannelActivation activation{};
    activation.active = 7;
    activation.timeout = 20;
    DriverRequest request{&channel, 1, {}, &activation};
    EXPECT_EQ(CallChecked(driver.qorMain, &request).result, 0);
    EXPECT_EQ(channel.active, 7);
    EXPECT_EQ(channel.timeout, 100);

    const int32_t expected[][2] = {{2, 0}, {4, 1}, {6, 1}, {10, 1}, {11, 0}, {0, kRequestNotServed},
                                   {8, kRequestNotServed}, {9, kRequestNotServed},
                                   {-7, kRequestNotServed}, {16, kRequestNotServed}};
    for (const auto& pair : expected) {
        DriverRequest bare{nullptr, pair[0], {}, nullptr};
        EXPECT_EQ(CallChecked(driver.qorMain, &bare).result, pair[1]) << "code " << pair[0];
    }
}

}  // namespace
