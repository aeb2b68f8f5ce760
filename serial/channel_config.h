#pragma once

#include <cstddef>
#include <cstdint>

#include "serial/serial_port.h"

// Bytes of a port name field, its NUL included: at most 11 characters.
constexpr size_t kPortNameBytes = 12;

// The parameter record of request 15: the port's new name, time-out and line settings.
struct ChannelConfig {
    char portName[kPortNameBytes];  // NUL-terminated
    int32_t timeout;                // units of 10 ms; 0 keeps the stored one
    PortSettings portSettings;      // a baudRate of 0 keeps the stored settings
};
static_assert(offsetof(ChannelConfig, portName) == 0, "ChannelConfig layout");
static_assert(offsetof(ChannelConfig, timeout) == 12, "ChannelConfig layout");
static_assert(offsetof(ChannelConfig, portSettings) == 16, "ChannelConfig layout");
static_assert(sizeof(ChannelConfig) == 24, "ChannelConfig layout");
