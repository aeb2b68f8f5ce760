// The seven communications operations over POSIX terminals, for the Linux build. They give
// the port code what it relies on from the system's functions: an exclusive open, a state
// read that fails on anything but a terminal, line settings refused when the terminal cannot
// take them, DTR and RTS as modes, and the read total time-out. docs/serial-posix.md tells how
// each maps onto termios.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <climits>
#include <cstring>

#include "serial/comm_operations.h"

namespace {

// A handle is the descriptor plus one: never 0 (no port) and never all bits set (no open).
PortHandle HandleOf(int fd) {
    return reinterpret_cast<PortHandle>(static_cast<uintptr_t>(fd) + 1u);
}

int DescriptorOf(PortHandle handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || value - 1u > static_cast<uintptr_t>(INT_MAX)) return -1;
    return static_cast<int>(value - 1u);
}

constexpr size_t kPathBytes = 64;
constexpr char kDeviceFolder[] = "/dev/";
constexpr char kNullPath[] = "/dev/null";

bool IsNullDeviceName(const char* name) {
    return (name[0] | 0x20) == 'n' && (name[1] | 0x20) == 'u' && (name[2] | 0x20) == 'l' &&
           name[3] == '\0';
}

// "NUL" in any letter case is the null device; a name that starts with '/' is a path as it
// stands; any other name is taken inside /dev ("ttyS0", "ttyUSB0", "pts/3").
bool PathOf(const char* name, char (&path)[kPathBytes]) {
    const size_t length = std::strlen(name);
    if (length == 0) {
        errno = ENOENT;
        return false;
    }
    const char* source = name;
    const char* folder = "";
    if (IsNullDeviceName(name)) {
        source = kNullPath;
    } else if (name[0] != '/') {
        folder = kDeviceFolder;
    }
    const size_t folderLength = std::strlen(folder);
    const size_t sourceLength = std::strlen(source);
    if (folderLength + sourceLength >= kPathBytes) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(path, folder, folderLength);
    std::memcpy(path + folderLength, source, sourceLength + 1);
    return true;
}

struct SpeedEntry {
    uint32_t rate;
    speed_t speed;
};

constexpr SpeedEntry kSpeeds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedOf(uint32_t rate, speed_t* speed) {
    for (const SpeedEntry& entry : kSpeeds) {
        if (entry.rate == rate) {
            *speed = entry.speed;
            return true;
        }
    }
    return false;
}

uint32_t RateOf(speed_t speed) {
    for (const SpeedEntry& entry : kSpeeds) {
        if (entry.speed == speed) return entry.rate;
    }
    return 0;
}

// Applies settings at once with a single TCSETS. The C library's tcsetattr reads the terminal
// before and after as well; SetCommState makes its own read-back. The C library's termios
// begins with the kernel's own record, which is all TCSETS reads.
static_assert(offsetof(termios, c_cc) == 17, "termios starts as the kernel's record");
bool ApplyNow(int fd, const termios& tio) { return ioctl(fd, TCSETS, &tio) == 0; }

// Modem-line requests that a terminal without modem lines (a pseudo-terminal) rejects.
bool NoModemLines(int error) { return error == ENOTTY || error == EINVAL; }

// The line bits the device must keep as asked; anything else it may adjust.
constexpr tcflag_t kLineBits = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;

// Time-outs only hold in non-canonical mode; a Windows port knows no other.
void MakeRaw(termios& tio) {
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXANY | IMAXBEL | IUCLC);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag |= CREAD | CLOCAL;
}

// Milliseconds to tenths of a second for VTIME: rounded up, so a time-out never ends early,
// at least one tenth, at most 255 (25.5 s).
cc_t TenthsOf(uint32_t milliseconds) {
    uint32_t tenths = milliseconds / 100u + (milliseconds % 100u != 0 ? 1u : 0u);
    if (tenths == 0) tenths = 1;
    if (tenths > 255u) tenths = 255u;
    return static_cast<cc_t>(tenths);
}

PortHandle QOR_WINAPI PosixCreateFile(const char* fileName, uint32_t desiredAccess,
                                      uint32_t shareMode, void*, uint32_t creationDisposition,
                                      uint32_t, PortHandle) {
    char path[kPathBytes];
    if (!PathOf(fileName, path)) return INVALID_HANDLE_VALUE;
    if (creationDisposition != OPEN_EXISTING) {
        errno = EINVAL;
        return INVALID_HANDLE_VALUE;
    }
    const bool reads = (desiredAccess & GENERIC_READ) != 0;
    const bool writes = (desiredAccess & GENERIC_WRITE) != 0;
    const int access = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    // Without O_NONBLOCK the open could wait for carrier.
    const int fd = open(path, access | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return INVALID_HANDLE_VALUE;

    if (shareMode == 0) {
        // The lock keeps out every other opener that takes it, root included; TIOCEXCL keeps
        // out other programs too, except root's. The lock comes first, so a device someone
        // else holds is left exactly as it was.
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            close(fd);
            errno = error == EWOULDBLOCK ? EBUSY : error;
            return INVALID_HANDLE_VALUE;
        }
        // Only a terminal is held exclusively; anything else (the null device) can be opened
        // again, so its lock goes back at once.
        if (ioctl(fd, TIOCEXCL) != 0) flock(fd, LOCK_UN);
    }

    // Reads must wait again, or the read time-out would never be in force. O_NONBLOCK is the
    // only status flag the open set, so clearing all of them clears just that.
    if (fcntl(fd, F_SETFL, 0) == -1) {
        const int error = errno;
        ioctl(fd, TIOCNXCL);
        close(fd);
        errno = error;
        return INVALID_HANDLE_VALUE;
    }
    return HandleOf(fd);
}

int32_t QOR_WINAPI PosixCloseHandle(PortHandle object) {
    const int fd = DescriptorOf(object);
    if (fd < 0) {
        errno = EBADF;
        return 0;
    }
    // Exclusive use would outlive the close on a pseudo-terminal. Anything but a terminal
    // just refuses the request.
    ioctl(fd, TIOCNXCL);
    // Linux releases the descriptor even when close reports an error, so only a handle that
    // was not open counts as refused; anything else would leave a dead handle behind.
    if (close(fd) != 0 && errno == EBADF) return 0;
    return 1;
}

int32_t QOR_WINAPI PosixGetCommState(PortHandle file, DCB* dcb) {
    const int fd = DescriptorOf(file);
    termios tio;
    if (fd < 0 || tcgetattr(fd, &tio) != 0) return 0;

    std::memset(dcb, 0, sizeof *dcb);
    dcb->DCBlength = sizeof *dcb;
    dcb->BaudRate = RateOf(cfgetospeed(&tio));
    dcb->fBinary = 1;
    dcb->fParity = (tio.c_iflag & INPCK) != 0;
    dcb->fOutxCtsFlow = (tio.c_cflag & CRTSCTS) != 0;
    dcb->fOutX = (tio.c_iflag & IXON) != 0;
    dcb->fInX = (tio.c_iflag & IXOFF) != 0;

    // The modes of DTR and RTS are not kept by the terminal; an open terminal has both raised,
    // unless RTS is left to the kernel's flow control.
    dcb->fDtrControl = DTR_CONTROL_ENABLE;
    dcb->fRtsControl = (tio.c_cflag & CRTSCTS) ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;

    switch (tio.c_cflag & CSIZE) {
        case CS5: dcb->ByteSize = 5; break;
        case CS6: dcb->ByteSize = 6; break;
        case CS7: dcb->ByteSize = 7; break;
        default: dcb->ByteSize = 8; break;
    }
    if (!(tio.c_cflag & PARENB)) {
        dcb->Parity = NOPARITY;
    } else if (tio.c_cflag & CMSPAR) {
        dcb->Parity = (tio.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
    } else {
        dcb->Parity = (tio.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
    }
    if (!(tio.c_cflag & CSTOPB)) {
        dcb->StopBits = ONESTOPBIT;
    } else {
        dcb->StopBits = dcb->ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
    }
    dcb->XonChar = static_cast<char>(tio.c_cc[VSTART]);
    dcb->XoffChar = static_cast<char>(tio.c_cc[VSTOP]);
    return 1;
}

// Speed and character format of a DCB in termios terms; false for what termios cannot say.
bool LineOf(const DCB& dcb, speed_t* speed, tcflag_t* line) {
    if (!SpeedOf(dcb.BaudRate, speed)) return false;
    tcflag_t bits = 0;
    switch (dcb.ByteSize) {
        case 5: bits |= CS5; break;
        case 6: bits |= CS6; break;
        case 7: bits |= CS7; break;
        case 8: bits |= CS8; break;
        default: return false;
    }
    switch (dcb.Parity) {
        case NOPARITY: break;
        case ODDPARITY: bits |= PARENB | PARODD; break;
        case EVENPARITY: bits |= PARENB; break;
        case MARKPARITY: bits |= PARENB | CMSPAR | PARODD; break;
        case SPACEPARITY: bits |= PARENB | CMSPAR; break;
        default: return false;
    }
    // CSTOPB gives one and a half stop bits with 5 data bits and two with more: the only
    // combinations a UART offers.
    switch (dcb.StopBits) {
        case ONESTOPBIT: break;
        case ONE5STOPBITS:
            if (dcb.ByteSize != 5) return false;
            bits |= CSTOPB;
            break;
        case TWOSTOPBITS:
            if (dcb.ByteSize == 5) return false;
            bits |= CSTOPB;
            break;
        default: return false;
    }
    // RTS handshake and CTS output flow control are one switch in termios.
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) bits |= CRTSCTS;
    *line = bits;
    return true;
}

int32_t Refused() {
    errno = EINVAL;
    return 0;
}

int32_t QOR_WINAPI PosixSetCommState(PortHandle file, DCB* dcb) {
    const int fd = DescriptorOf(file);
    termios before;
    if (fd < 0 || tcgetattr(fd, &before) != 0) return 0;

    // What termios cannot express at all is refused before anything is changed.
    speed_t speed;
    tcflag_t line;
    if (!LineOf(*dcb, &speed, &line)) return Refused();

    termios tio = before;
    MakeRaw(tio);
    tio.c_cflag = (tio.c_cflag & ~kLineBits) | line;
    // Checked parity has faulty characters dropped or replaced by NUL; the system replaces
    // none unless fErrorChar is set, so checking waits for that too.
    tio.c_iflag &= ~static_cast<tcflag_t>(INPCK | IGNPAR | IXON | IXOFF);
    if (dcb->fParity && dcb->fErrorChar && (line & PARENB)) tio.c_iflag |= INPCK;
    if (dcb->fOutX) tio.c_iflag |= IXON;
    if (dcb->fInX) tio.c_iflag |= IXOFF;
    tio.c_cc[VSTART] = static_cast<cc_t>(dcb->XonChar);
    tio.c_cc[VSTOP] = static_cast<cc_t>(dcb->XoffChar);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (!ApplyNow(fd, tio)) return Refused();

    // A terminal takes what it can without a word about the rest: read back (into the same
    // record, to keep the stack small), and put the old settings back when the line is not
    // what was asked.
    if (tcgetattr(fd, &tio) != 0 || cfgetospeed(&tio) != speed || cfgetispeed(&tio) != speed ||
        (tio.c_cflag & kLineBits) != line) {
        ApplyNow(fd, before);
        return Refused();
    }

    // DTR and RTS are raised or lowered now and held so; RTS handshake leaves RTS to the
    // kernel (CRTSCTS). DTR handshake and RTS toggle have no termios form: the line is held
    // raised, so a peer that waits for it can go on.
    int raise = 0;
    int lower = 0;
    if (dcb->fDtrControl == DTR_CONTROL_DISABLE) {
        lower |= TIOCM_DTR;
    } else {
        raise |= TIOCM_DTR;
    }
    if (dcb->fRtsControl == RTS_CONTROL_DISABLE) {
        lower |= TIOCM_RTS;
    } else if (dcb->fRtsControl != RTS_CONTROL_HANDSHAKE) {
        raise |= TIOCM_RTS;
    }
    if ((raise != 0 && ioctl(fd, TIOCMBIS, &raise) != 0 && !NoModemLines(errno)) ||
        (lower != 0 && ioctl(fd, TIOCMBIC, &lower) != 0 && !NoModemLines(errno))) {
        const int error = errno;
        ApplyNow(fd, before);
        errno = error;
        return 0;
    }
    return 1;
}

int32_t QOR_WINAPI PosixGetCommTimeouts(PortHandle file, COMMTIMEOUTS* timeouts) {
    const int fd = DescriptorOf(file);
    termios tio;
    if (fd < 0 || tcgetattr(fd, &tio) != 0) return 0;
    std::memset(timeouts, 0, sizeof *timeouts);
    const uint32_t vtime = tio.c_cc[VTIME];
    if (tio.c_cc[VMIN] == 0) {
        if (vtime == 0) {
            timeouts->ReadIntervalTimeout = MAXDWORD;  // return at once with what is there
        } else {
            timeouts->ReadTotalTimeoutConstant = vtime * 100u;
        }
    } else {
        timeouts->ReadIntervalTimeout = vtime * 100u;  // 0: wait for data without a limit
    }
    return 1;
}

int32_t QOR_WINAPI PosixSetCommTimeouts(PortHandle file, COMMTIMEOUTS* timeouts) {
    const int fd = DescriptorOf(file);
    termios tio;
    if (fd < 0 || tcgetattr(fd, &tio) != 0) return 0;
    MakeRaw(tio);
    const uint32_t interval = timeouts->ReadIntervalTimeout;
    const uint32_t multiplier = timeouts->ReadTotalTimeoutMultiplier;
    const uint32_t constant = timeouts->ReadTotalTimeoutConstant;
    if (interval == MAXDWORD && multiplier == 0 && constant == 0) {
        // Return at once with whatever has arrived.
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
    } else if (multiplier == 0 && constant == 0) {
        // No total time-out: wait for the first byte, then as long as the interval allows.
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = interval == 0 ? 0 : TenthsOf(interval);
    } else {
        // A total time-out: the constant, in tenths. The multiplier needs the request's
        // length, which termios never sees.
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = TenthsOf(constant);
    }
    // Writes wait until the terminal has taken the bytes: the write time-outs are not kept.
    return ApplyNow(fd, tio) ? 1 : 0;
}

int32_t QOR_WINAPI PosixSetupComm(PortHandle file, uint32_t, uint32_t) {
    // The kernel sizes its own queues; the recommendation is taken and dropped.
    return DescriptorOf(file) >= 0 ? 1 : 0;
}

}  // namespace

const CommOperations platformComm = {
    PosixCreateFile,      PosixGetCommState,    PosixSetCommState, PosixGetCommTimeouts,
    PosixSetCommTimeouts, PosixSetupComm,       PosixCloseHandle,
};
