// The built QorBVN.dll under Wine on a real communications port: a COM port of the Wine
// prefix linked to a pseudo-terminal (run-with-com-port.sh sets it up and names it in
// QOR_TEST_COM_PORT). The port's state is read back through the system's own functions on
// the handle the channel record holds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/driver_request.h"
#include "serial/channel_config.h"
#include "tests/support/driver_library.h"

namespace {

struct WineComPort : testing::Test {
    void SetUp() override {
        const char* port = std::getenv("QOR_TEST_COM_PORT");
        if (port == nullptr || *port == '\0') GTEST_SKIP() << "no COM port linked to a pseudo-terminal";
        portName = port;
        ASSERT_LT(portName.size(), 12u);
        driver = LoadDriverLibrary(QOR_DRIVER_PATH);
        ASSERT_NE(driver.qorMain, nullptr) << driver.error;
    }
    void TearDown() override { UnloadDriverLibrary(driver); }

    int32_t Request(int32_t code, void* params = nullptr) {
        DriverRequest request{&channel, code, {}, params};
        return CallChecked(driver.qorMain, &request).result;
    }
    int32_t Configure(const char* name, int32_t timeout, PortSettings settings) {
        ChannelConfig config{};
        std::strncpy(config.portName, name, sizeof config.portName - 1);
        config.timeout = timeout;
        config.portSettings = settings;
        return Request(15, &config);
    }
    HANDLE Port() const { return static_cast<HANDLE>(channel.portHandle); }
    DWORD ReadTotalConstant() const {
        COMMTIMEOUTS timeouts{};
        EXPECT_TRUE(GetCommTimeouts(Port(), &timeouts));
        return timeouts.ReadTotalTimeoutConstant;
    }

    DriverLibrary driver;
    ChannelState channel{};
    std::string portName;
};

TEST_F(WineComPort, ConfigureOpenAndClose) {
    channel.portOptions = kDtrEnable | kRtsEnable;
    ASSERT_EQ(Configure(portName.c_str(), 7, PortSettings{9600, 8, 2, 0}), 0);
    ASSERT_NE(channel.portHandle, nullptr);
    EXPECT_EQ(channel.active, 1);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(Port(), &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(ReadTotalConstant(), 70u);

    // The device lets itself be opened again under Wine; the earlier handle is closed.
    const HANDLE first = Port();
    const int32_t again = Request(13);
    if (again == 0) {
        EXPECT_NE(Port(), first);
        EXPECT_EQ(ReadTotalConstant(), 1000u);
        DWORD flags = 0;
        EXPECT_FALSE(GetHandleInformation(first, &flags));
    } else {
        EXPECT_EQ(again, 2);
        EXPECT_EQ(Port(), first);
    }

    EXPECT_EQ(Request(12), 0);
    EXPECT_EQ(channel.portHandle, nullptr);
    EXPECT_EQ(channel.active, 1);
    EXPECT_EQ(Request(12), 0);

    ASSERT_EQ(Request(13), 0);
    EXPECT_EQ(ReadTotalConstant(), 1000u);  // request 13 keeps the open's time-out
    ASSERT_TRUE(GetCommState(Port(), &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(Request(12), 0);
}

TEST_F(WineComPort, NullDeviceAndMissingPort) {
    ASSERT_EQ(Configure("NUL", 5, PortSettings{9600, 8, 0, 0}), 0);
    EXPECT_NE(channel.portHandle, nullptr);
    EXPECT_EQ(channel.active, 1);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    EXPECT_FALSE(GetCommState(Port(), &dcb));  // opened, not configured
    EXPECT_EQ(Request(12), 0);

    channel.active = 0;
    EXPECT_EQ(Configure("COM250", 5, PortSettings{9600, 8, 0, 0}), 2);
    EXPECT_EQ(channel.portHandle, nullptr);
    EXPECT_EQ(channel.active, 0);
    EXPECT_STREQ(channel.portName, "COM250");
    EXPECT_EQ(Request(13), 2);
}

}  // namespace
