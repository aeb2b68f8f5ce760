#include "driver/handlers.h"
#include "serial/open_channel_port.h"

// Request 13: open the port with the name, settings and options the channel holds. The
// stored time-out is not applied; the port keeps the one the open sets.
int32_t QOR_WINAPI OpenChannel(DriverRequest* request) {
    ChannelState* channel = request->channel;
    const PortHandle handle = OpenChannelPort(channel);
    if (handle == nullptr) return kChannelFailed;
    TakeOpenedPort(channel, handle);
    return 0;
}
