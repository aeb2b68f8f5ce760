#include <cstring>

#include "serial/comm_operations.h"
#include "serial/serial_port.h"

namespace {
constexpr uint32_t kMillisecondsPerCount = 10;
}

int32_t SetReadTimeout(PortHandle handle, int32_t count) {
    const CommOperations& comm = *commOperations;
    COMMTIMEOUTS timeouts;
    std::memset(&timeouts, 0, sizeof timeouts);
    if (comm.GetCommTimeouts(handle, &timeouts) == 0) return 0;

    const uint32_t previous = timeouts.ReadTotalTimeoutConstant;
    // Unsigned, so an out-of-range count wraps in 32 bits instead of overflowing.
    const uint32_t wanted = static_cast<uint32_t>(count) * kMillisecondsPerCount;
    if (wanted != previous) {
        timeouts.ReadTotalTimeoutConstant = wanted;
        if (comm.SetCommTimeouts(handle, &timeouts) == 0) return 0;
    }
    return static_cast<int32_t>(previous) / static_cast<int32_t>(kMillisecondsPerCount);
}
