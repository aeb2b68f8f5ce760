#include <cstring>

#include "serial/open_channel_port.h"
#include "serial/serial_port.h"

PortHandle OpenChannelPort(const ChannelState* channel) {
    // A name without its NUL inside the field would be read past it: open nothing.
    if (std::memchr(channel->portName, '\0', sizeof channel->portName) == nullptr) return nullptr;
    PortHandle handle = nullptr;
    if (OpenPort(channel->portName, channel->portSettings, channel->portOptions, &handle) !=
        kPortOpened) {
        return nullptr;
    }
    return handle;
}

void TakeOpenedPort(ChannelState* channel, PortHandle handle) {
    const PortHandle earlier = channel->portHandle;
    channel->active = 1;
    channel->portHandle = handle;
    if (earlier != nullptr && earlier != handle) ClosePort(earlier);
}
