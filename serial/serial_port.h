#pragma once

#include <cstddef>
#include <cstdint>

// A port handle is the platform's 32-bit handle of an open device.
typedef void* PortHandle;

// Line speed and character format, as the host stores them: four 16-bit fields,
// stop bits before parity (the reverse of the device block's order).
struct PortSettings {
    uint16_t baudRate;  // bits per second, zero-extended into the device block
    uint16_t dataBits;  // low byte used
    uint16_t stopBits;  // low byte used: 0 one, 1 one and a half, 2 two
    uint16_t parity;    // low byte used: 0 none, 1 odd, 2 even, 3 mark, 4 space
};
static_assert(offsetof(PortSettings, baudRate) == 0, "PortSettings layout");
static_assert(offsetof(PortSettings, dataBits) == 2, "PortSettings layout");
static_assert(offsetof(PortSettings, stopBits) == 4, "PortSettings layout");
static_assert(offsetof(PortSettings, parity) == 6, "PortSettings layout");
static_assert(sizeof(PortSettings) == 8, "PortSettings layout");

// How DTR and RTS are driven; read on every open, never written.
typedef uint16_t PortOptions;
static_assert(sizeof(PortOptions) == 2, "PortOptions layout");
