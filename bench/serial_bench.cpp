// Open + configure + close of a pseudo-terminal: through OpenPort/ClosePort (the driver's
// POSIX layer), and through the shortest hand-written termios sequence that does the same
// job (the floor). Both run in one process against one pseudo-terminal.
//
// Usage: qorbvn_serial_bench [driver|floor|both] [cycles] [rounds]
//   both (default): prints the median microseconds per cycle of each, rounds interleaved.
//   driver / floor: runs only that path, for counting system calls under strace.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "serial/serial_port.h"

namespace {

// The line both paths set up: 9600 8N1, one second read time-out, DTR on, RTS off.
constexpr PortSettings kSettings = {9600, 8, 0, 0};
constexpr PortOptions kOptions = 0x0001;

bool DriverCycle(const char* path) {
    PortHandle handle = nullptr;
    if (OpenPort(path, kSettings, kOptions, &handle) != 0) return false;
    return ClosePort(handle) == 0;
}

bool FloorCycle(const char* path) {
    const int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ioctl(fd, TIOCEXCL) == 0;
    termios line;
    ok = ok && tcgetattr(fd, &line) == 0;
    if (ok) {
        cfmakeraw(&line);
        line.c_cflag = (line.c_cflag & ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS)) | CS8 | CLOCAL | CREAD;
        line.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
        line.c_cc[VMIN] = 0;
        line.c_cc[VTIME] = 10;
        cfsetispeed(&line, B9600);
        cfsetospeed(&line, B9600);
        ok = tcsetattr(fd, TCSANOW, &line) == 0;
    }
    // A pseudo-terminal has no modem lines and refuses these; the calls are made all the same.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &dtr);
    ioctl(fd, TIOCMBIC, &rts);
    return close(fd) == 0 && ok;
}

typedef bool (*Cycle)(const char* path);

double MicrosPerCycle(Cycle cycle, const char* path, int cycles) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < cycles; ++i) {
        if (!cycle(path)) {
            std::fprintf(stderr, "serial bench: a cycle failed on %s\n", path);
            std::exit(1);
        }
    }
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / cycles;
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "both";
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 7;

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("serial bench: pseudo-terminal");
        return 1;
    }
    char path[64];
    std::snprintf(path, sizeof path, "%s", ptsname(master));

    const bool driver = std::strcmp(mode, "floor") != 0;
    const bool floor = std::strcmp(mode, "driver") != 0;
    std::vector<double> driverSamples;
    std::vector<double> floorSamples;
    for (int round = 0; round < rounds; ++round) {
        if (driver) driverSamples.push_back(MicrosPerCycle(DriverCycle, path, cycles));
        if (floor) floorSamples.push_back(MicrosPerCycle(FloorCycle, path, cycles));
    }
    if (driver) std::printf("driver %.2f us/cycle\n", Median(driverSamples));
    if (floor) std::printf("floor %.2f us/cycle\n", Median(floorSamples));
    close(master);
    return 0;
}
