#include <cstring>

#include "driver/handlers.h"
#include "serial/channel_config.h"
#include "serial/open_channel_port.h"
#include "serial/serial_port.h"

// Request 15: store the new time-out, name and settings, then open the port and give it the
// stored time-out. A failed open leaves what was stored in place.
int32_t QOR_WINAPI ConfigureChannel(DriverRequest* request) {
    ChannelState* channel = request->channel;
    const ChannelConfig* config = static_cast<const ChannelConfig*>(request->params);

    // A name that fills its field without a NUL is refused before anything changes: cut
    // short it would name another device.
    const void* nul = std::memchr(config->portName, '\0', kPortNameBytes);
    if (nul == nullptr) return kChannelFailed;
    const size_t nameBytes = static_cast<size_t>(static_cast<const char*>(nul) - config->portName) + 1;

    if (config->timeout != 0) channel->timeout = config->timeout;

    // Another device, byte for byte, means the old port goes first. Comparing the new name's
    // bytes up to its NUL decides that without reading past either field.
    if (channel->portHandle != nullptr &&
        std::memcmp(config->portName, channel->portName, nameBytes) != 0) {
        CloseChannel(request);
    }
    std::memcpy(channel->portName, config->portName, nameBytes);
    if (config->portSettings.baudRate != 0) channel->portSettings = config->portSettings;

    const PortHandle handle = OpenChannelPort(channel);
    if (handle == nullptr) return kChannelFailed;
    TakeOpenedPort(channel, handle);

    SetReadTimeout(handle, channel->timeout);
    return 0;
}
