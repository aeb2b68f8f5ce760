#include <cstring>

#include "serial/comm_operations.h"
#include "serial/serial_port.h"

namespace {

constexpr uint32_t kDcbLength = 28;
constexpr uint32_t kOpenReadTimeout = 1000;  // ms, read total time-out constant
constexpr uint32_t kQueueBytes = 1200;       // recommended input and output queue
constexpr char kErrorChar = static_cast<char>(0xFC);
constexpr char kNullDevice[] = "NUL";

uint32_t DtrControl(PortOptions options) {
    if (options & (kDtrEnable | kDtrEnableToo)) return DTR_CONTROL_ENABLE;
    if (options & kDtrHandshake) return DTR_CONTROL_HANDSHAKE;
    return DTR_CONTROL_DISABLE;
}

uint32_t RtsControl(PortOptions options) {
    if (options & (kRtsEnable | kRtsEnableToo)) return RTS_CONTROL_ENABLE;
    if (options & kRtsHandshake) return RTS_CONTROL_HANDSHAKE;
    if (options & kRtsToggle) return RTS_CONTROL_TOGGLE;
    return RTS_CONTROL_DISABLE;
}

uint8_t LowByte(uint16_t value) { return static_cast<uint8_t>(value & 0xFFu); }

}  // namespace

int32_t OpenPort(const char* name, const PortSettings& settings, PortOptions options,
                 PortHandle* handle) {
    const CommOperations& comm = *commOperations;

    const PortHandle port = comm.CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    *handle = port;
    if (port == INVALID_HANDLE_VALUE) return kPortNotOpened;

    // The null device is opened and nothing more.
    if (std::strcmp(name, kNullDevice) == 0) return kPortOpened;

    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = kDcbLength;
    if (comm.GetCommState(port, &dcb) == 0) {
        comm.CloseHandle(port);
        return kPortStateUnreadable;
    }

    // Time-outs first: reads end after a second at most, writes wait as long as they take.
    COMMTIMEOUTS timeouts;
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = kOpenReadTimeout;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    if (comm.SetCommTimeouts(port, &timeouts) == 0) {
        comm.CloseHandle(port);
        return kPortNotOpened;
    }

    // Then the line, on top of what the device reported. ErrorChar is set although
    // fErrorChar stays off, so no character is replaced.
    dcb.BaudRate = settings.baudRate;
    dcb.fBinary = 1;
    dcb.fParity = 1;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DtrControl(options) & 3u;
    dcb.fDsrSensitivity = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RtsControl(options) & 3u;
    dcb.fAbortOnError = 0;
    dcb.ByteSize = LowByte(settings.dataBits);
    dcb.Parity = LowByte(settings.parity);
    dcb.StopBits = LowByte(settings.stopBits);
    dcb.ErrorChar = kErrorChar;
    if (comm.SetCommState(port, &dcb) == 0) {
        comm.CloseHandle(port);
        return kPortSettingsRefused;
    }

    // Queue sizes last; only a recommendation, so its answer does not matter.
    comm.SetupComm(port, kQueueBytes, kQueueBytes);
    return kPortOpened;
}
