#include "driver/handlers.h"
#include "serial/open_channel_port.h"
#include "serial/serial_port.h"

// Request 12: close the channel's port, if it has one. A refused close keeps the handle.
// The active flag is left as it is.
int32_t QOR_WINAPI CloseChannel(DriverRequest* request) {
    ChannelState* channel = request->channel;
    if (channel->portHandle == nullptr) return 0;
    if (ClosePort(channel->portHandle) != kPortClosed) return kChannelFailed;
    channel->portHandle = nullptr;
    return 0;
}
