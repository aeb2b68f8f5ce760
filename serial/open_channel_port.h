#pragma once

#include "driver/driver_request.h"

// What the channel requests answer when the port did not open or would not close.
constexpr int32_t kChannelFailed = 2;

// Opens the port the channel names with its stored settings and options. Returns the new
// handle, or 0 when it did not open.
PortHandle OpenChannelPort(const ChannelState* channel);

// Makes a newly opened port the channel's. An earlier handle the record still names (a device
// that let itself be opened twice, or one whose close was refused) is closed only now, after
// the new open succeeded, so it neither leaks nor stays named in the record once closed.
void TakeOpenedPort(ChannelState* channel, PortHandle handle);
