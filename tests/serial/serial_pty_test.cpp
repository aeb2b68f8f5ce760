// The Linux port layer end to end on real pseudo-terminals: the primitives and the channel
// requests, with the terminal's own report of what was applied.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/driver_request.h"
#include "serial/channel_config.h"
#include "serial/serial_port.h"

namespace {

int DescriptorOf(PortHandle handle) { return static_cast<int>(reinterpret_cast<uintptr_t>(handle)) - 1; }

struct Pty : testing::Test {
    void SetUp() override {
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        path = ttyname(slave);
        ASSERT_LT(path.size(), 12u);
        // Names inside /dev are given without it, as the channel's 11 characters allow.
        devName = path.substr(5);
    }
    void TearDown() override {
        close(slave);
        close(master);
    }
    termios Terminal() const {
        termios tio{};
        EXPECT_EQ(tcgetattr(slave, &tio), 0);
        return tio;
    }
    int master = -1, slave = -1;
    std::string path, devName;
};

struct LineCase {
    PortSettings settings;
    speed_t speed;
    tcflag_t line;  // CSIZE, parity and stop bits as the terminal must report them
};

TEST_F(Pty, OpenAppliesTheLineAndTheFixedTimeout) {
    // A pseudo-terminal keeps speed and stop bits; parity and data bits it forces to 8N.
    const LineCase cases[] = {
        {{9600, 8, 0, 0}, B9600, CS8},
        {{19200, 0x0108, 2, 0x0100}, B19200, CS8 | CSTOPB},
        {{1200, 8, 0, 0}, B1200, CS8},
        {{57600, 8, 2, 0}, B57600, CS8 | CSTOPB},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "speed " << c.settings.baudRate);
        PortHandle handle = nullptr;
        ASSERT_EQ(OpenPort(devName.c_str(), c.settings, kRtsHandshake, &handle), kPortOpened);
        const termios tio = Terminal();
        EXPECT_EQ(cfgetospeed(&tio), c.speed);
        EXPECT_EQ(cfgetispeed(&tio), c.speed);
        EXPECT_EQ(tio.c_cflag & (CSIZE | CSTOPB | PARENB | PARODD | CMSPAR), c.line);
        EXPECT_TRUE(tio.c_cflag & CRTSCTS);
        EXPECT_TRUE(tio.c_cflag & CLOCAL);
        EXPECT_TRUE(tio.c_cflag & CREAD);
        EXPECT_FALSE(tio.c_lflag & (ICANON | ECHO | ISIG));
        EXPECT_FALSE(tio.c_oflag & OPOST);
        EXPECT_FALSE(tio.c_iflag & (ICRNL | IXON | IXOFF | INPCK));
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 10);  // 1000 ms
        // Reads wait again.
        EXPECT_FALSE(fcntl(DescriptorOf(handle), F_GETFL) & O_NONBLOCK);
        EXPECT_EQ(ClosePort(handle), kPortClosed);
    }
}

TEST_F(Pty, BytesPassUnchanged) {
    PortHandle handle = nullptr;
    ASSERT_EQ(OpenPort(path.c_str(), PortSettings{9600, 8, 0, 0}, 0, &handle), kPortOpened);
    const char sent[] = "a\r\n\x03\x11\xFC";
    ASSERT_EQ(write(master, sent, sizeof sent), static_cast<ssize_t>(sizeof sent));
    char got[sizeof sent] = {};
    size_t have = 0;
    while (have < sizeof sent) {
        const ssize_t n = read(DescriptorOf(handle), got + have, sizeof sent - have);
        ASSERT_GT(n, 0);
        have += static_cast<size_t>(n);
    }
    EXPECT_EQ(std::memcmp(got, sent, sizeof sent), 0);
    EXPECT_EQ(ClosePort(handle), kPortClosed);
}

TEST_F(Pty, RefusedLinesCloseTheDevice) {
    const PortSettings refused[] = {
        {12345, 8, 0, 0},  // no such speed
        {0, 8, 0, 0},
        {9600, 9, 0, 0},   // data bits
        {9600, 4, 0, 0},
        {9600, 8, 0, 5},   // parity
        {9600, 8, 1, 0},   // one and a half stop bits need 5 data bits
        {9600, 5, 2, 0},   // two stop bits cannot go with 5
        {9600, 8, 3, 0},
        // what termios can say but a pseudo-terminal cannot do: found out by reading back
        {9600, 7, 0, 0},
        {9600, 8, 0, 2},
        {9600, 5, 1, 3},
    };
    const termios before = Terminal();
    for (const PortSettings& settings : refused) {
        SCOPED_TRACE(testing::Message() << settings.baudRate << " " << settings.dataBits << " "
                                        << settings.stopBits << " " << settings.parity);
        PortHandle handle = nullptr;
        EXPECT_EQ(OpenPort(devName.c_str(), settings, 0, &handle), kPortSettingsRefused);
        // The line is put back as it was (the time-outs, set first, stay).
        const termios after = Terminal();
        const tcflag_t line = CBAUD | CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS;
        EXPECT_EQ(after.c_cflag & line, before.c_cflag & line);
        EXPECT_EQ(fcntl(DescriptorOf(handle), F_GETFD), -1);  // closed again
    }
    PortHandle handle = nullptr;
    EXPECT_EQ(OpenPort(devName.c_str(), PortSettings{9600, 8, 0, 0}, 0, &handle), kPortOpened);
    EXPECT_EQ(ClosePort(handle), kPortClosed);
}

TEST_F(Pty, OpenIsExclusiveUntilClosed) {
    PortHandle first = nullptr;
    ASSERT_EQ(OpenPort(devName.c_str(), PortSettings{9600, 8, 0, 0}, 0, &first), kPortOpened);
    int exclusive = 0;
    ASSERT_EQ(ioctl(slave, TIOCGEXCL, &exclusive), 0);
    EXPECT_NE(exclusive, 0);

    PortHandle second = nullptr;
    EXPECT_EQ(OpenPort(devName.c_str(), PortSettings{9600, 8, 0, 0}, 0, &second), kPortNotOpened);
    EXPECT_EQ(second, reinterpret_cast<PortHandle>(~uintptr_t{0}));
    EXPECT_EQ(OpenPort(path.c_str(), PortSettings{9600, 8, 0, 0}, 0, &second), kPortNotOpened);

    EXPECT_EQ(ClosePort(first), kPortClosed);
    ASSERT_EQ(ioctl(slave, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(ClosePort(first), kPortCloseRefused);  // no longer open
    ASSERT_EQ(OpenPort(devName.c_str(), PortSettings{9600, 8, 0, 0}, 0, &second), kPortOpened);
    EXPECT_EQ(ClosePort(second), kPortClosed);
}

TEST_F(Pty, ReadTimeoutInTenthsRoundedUp) {
    PortHandle handle = nullptr;
    ASSERT_EQ(OpenPort(devName.c_str(), PortSettings{9600, 8, 0, 0}, 0, &handle), kPortOpened);
    struct TimeoutCase {
        int32_t count;
        int32_t previous;  // as read back from the terminal, in whole tenths
        cc_t vmin, vtime;
    };
    const TimeoutCase cases[] = {
        {30, 100, 0, 3},   {30, 30, 0, 3},    {5, 30, 0, 1},    {11, 10, 0, 2},
        {2550, 20, 0, 255}, {9999, 2550, 0, 255}, {0, 2550, 1, 0}, {7, 0, 0, 1},
        {-1, 10, 0, 255},
    };
    for (const TimeoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "count " << c.count);
        EXPECT_EQ(SetReadTimeout(handle, c.count), c.previous);
        const termios tio = Terminal();
        EXPECT_EQ(tio.c_cc[VMIN], c.vmin);
        EXPECT_EQ(tio.c_cc[VTIME], c.vtime);
    }

    // The time-out is in force: a read with nothing to read ends after it.
    SetReadTimeout(handle, 30);
    char byte;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(read(DescriptorOf(handle), &byte, 1), 0);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 250);
    EXPECT_LT(waited, 2000);
    EXPECT_EQ(ClosePort(handle), kPortClosed);
}

TEST_F(Pty, NonTerminalsAndMissingDevices) {
    char file[] = "/tmp/qorXXXXXX";
    const int fd = mkstemp(file);
    ASSERT_GE(fd, 0);
    close(fd);
    struct NameCase {
        const char* name;
        int32_t result;
    };
    const NameCase cases[] = {
        {"NUL", kPortOpened},            // the null device, left alone
        {"nul", kPortStateUnreadable},   // the null device, but configured: no state to read
        {"null", kPortStateUnreadable},  // /dev/null by its own name
        {file, kPortStateUnreadable},
        {"ttyQOR9", kPortNotOpened},
        {"/dev/ttyQOR9", kPortNotOpened},
        {"", kPortNotOpened},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.name);
        PortHandle handle = nullptr;
        EXPECT_EQ(OpenPort(c.name, PortSettings{9600, 8, 0, 0}, 0, &handle), c.result);
        if (c.result == kPortOpened) {
            EXPECT_EQ(SetReadTimeout(handle, 5), 0);  // no time-outs on the null device
            EXPECT_EQ(ClosePort(handle), kPortClosed);
        } else if (c.result == kPortNotOpened) {
            EXPECT_EQ(handle, reinterpret_cast<PortHandle>(~uintptr_t{0}));
        } else {
            EXPECT_EQ(fcntl(DescriptorOf(handle), F_GETFD), -1);
        }
    }
    unlink(file);
}

TEST_F(Pty, ChannelRequestsOpenConfigureAndClose) {
    ChannelState channel{};
    channel.portOptions = kDtrEnable | kRtsEnable;
    ChannelConfig config{};
    std::memcpy(config.portName, devName.c_str(), devName.size() + 1);
    config.timeout = 25;
    config.portSettings = PortSettings{2400, 8, 2, 0};

    DriverRequest configure{&channel, 15, {}, &config};
    ASSERT_EQ(QorMain(&configure), 0);
    ASSERT_NE(channel.portHandle, nullptr);
    EXPECT_EQ(channel.active, 1);
    termios tio = Terminal();
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B2400));
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8 | CSTOPB));
    EXPECT_EQ(tio.c_cc[VTIME], 3);  // 250 ms, rounded up

    DriverRequest open{&channel, 13, {}, nullptr};
    const PortHandle held = channel.portHandle;
    EXPECT_EQ(QorMain(&open), 2);  // held exclusively
    EXPECT_EQ(channel.portHandle, held);

    DriverRequest closeRequest{&channel, 12, {}, nullptr};
    EXPECT_EQ(QorMain(&closeRequest), 0);
    EXPECT_EQ(channel.portHandle, nullptr);
    EXPECT_EQ(fcntl(DescriptorOf(held), F_GETFD), -1);

    EXPECT_EQ(QorMain(&open), 0);
    tio = Terminal();
    EXPECT_EQ(tio.c_cc[VTIME], 10);  // request 13 leaves the open's 1000 ms
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B2400));
    EXPECT_EQ(QorMain(&closeRequest), 0);
}

}  // namespace
