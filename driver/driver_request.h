#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/calling_convention.h"
#include "serial/serial_port.h"

// Every record below belongs to the host; the byte layout is the host's and holds to the byte.

// The host's per-channel record, kept by the host from call to call.
struct ChannelState {
    int32_t timeout;            // read time-out of the port, in units of 10 ms
    PortHandle portHandle;      // the open port, 0 when none is open
    int32_t active;             // channel active flag
    char portName[12];          // device name, NUL-terminated
    PortSettings portSettings;  // line speed and character format
    PortOptions portOptions;    // DTR/RTS options; set by the host, only read here
    // Whatever the host keeps after portOptions is not ours.
};
static_assert(offsetof(ChannelState, timeout) == 0, "ChannelState layout");
static_assert(offsetof(ChannelState, portHandle) == 4, "ChannelState layout");
static_assert(offsetof(ChannelState, active) == 8, "ChannelState layout");
static_assert(offsetof(ChannelState, portName) == 12, "ChannelState layout");
static_assert(offsetof(ChannelState, portSettings) == 24, "ChannelState layout");
static_assert(offsetof(ChannelState, portOptions) == 32, "ChannelState layout");
static_assert(sizeof(ChannelState) == 36, "ChannelState layout");

// The request block handed to QorMain for every operation.
struct DriverRequest {
    ChannelState* channel;
    int32_t code;
    uint8_t hostOwned[8];  // the host's; never read or written here
    void* params;          // the request's parameter record; its type depends on code
};
static_assert(offsetof(DriverRequest, channel) == 0, "DriverRequest layout");
static_assert(offsetof(DriverRequest, code) == 4, "DriverRequest layout");
static_assert(offsetof(DriverRequest, hostOwned) == 8, "DriverRequest layout");
static_assert(offsetof(DriverRequest, params) == 16, "DriverRequest layout");
static_assert(sizeof(DriverRequest) == 20, "DriverRequest layout");

// Parameter record of request 1.
struct ChannelActivation {
    uint8_t hostOwned[12];  // not read
    int32_t active;         // any non-zero value counts as set
    int32_t timeout;        // units of 10 ms; used only when active is set
};
static_assert(offsetof(ChannelActivation, active) == 12, "ChannelActivation layout");
static_assert(offsetof(ChannelActivation, timeout) == 16, "ChannelActivation layout");
static_assert(sizeof(ChannelActivation) == 20, "ChannelActivation layout");

// Parameter record of request 14. The numbers' meaning is the host's; we only fill them.
struct DriverInfo {
    int32_t info0;          // 70
    const char* vendor;     // vendor name
    const char* banner;     // installation banner, code page 437
    int32_t info12;         // 36
    int32_t info16;         // 1
    uint8_t hostOwned[8];   // left as the host had them
    int32_t info28;         // 4
};
static_assert(offsetof(DriverInfo, info0) == 0, "DriverInfo layout");
static_assert(offsetof(DriverInfo, vendor) == 4, "DriverInfo layout");
static_assert(offsetof(DriverInfo, banner) == 8, "DriverInfo layout");
static_assert(offsetof(DriverInfo, info12) == 12, "DriverInfo layout");
static_assert(offsetof(DriverInfo, info16) == 16, "DriverInfo layout");
static_assert(offsetof(DriverInfo, hostOwned) == 20, "DriverInfo layout");
static_assert(offsetof(DriverInfo, info28) == 28, "DriverInfo layout");
static_assert(sizeof(DriverInfo) == 32, "DriverInfo layout");

// A handler in the request table. It shares QorMain's convention, so QorMain can hand the
// request over with a plain jump.
typedef int32_t(QOR_WINAPI* RequestHandler)(DriverRequest* request);

// The request table has one slot for each code from 0 to 15.
constexpr int32_t kRequestSlots = 16;

// What QorMain answers for a code that has no handler (0, 8, 9, anything outside 0..15):
// no handler returns it, so the host can tell the request was not served.
constexpr int32_t kRequestNotServed = -1;

// The one export. The host looks it up by this undecorated name.
extern "C" int32_t QOR_WINAPI QorMain(DriverRequest* request);
