#include "driver/handlers.h"

namespace {
constexpr int32_t kMinimumTimeout = 100;  // one second, in units of 10 ms
}

// Request 1: store the active flag as sent; when it is set, store the time-out too,
// never below one second. The open port is not touched: request 15 applies the time-out.
int32_t QOR_WINAPI SetChannelActive(DriverRequest* request) {
    ChannelState* channel = request->channel;
    const ChannelActivation* activation = static_cast<const ChannelActivation*>(request->params);
    const int32_t active = activation->active;
    channel->active = active;
    if (active == 0) return 0;
    const int32_t timeout = activation->timeout;
    channel->timeout = timeout < kMinimumTimeout ? kMinimumTimeout : timeout;
    return 0;
}
