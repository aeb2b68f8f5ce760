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

// PortOptions bits. Where several are set, enable wins over handshake, and for RTS
// handshake wins over toggle. Every other bit has no effect.
constexpr PortOptions kDtrEnable = 0x0001;
constexpr PortOptions kDtrEnableToo = 0x0100;  // the same as kDtrEnable
constexpr PortOptions kDtrHandshake = 0x8000;
constexpr PortOptions kRtsEnable = 0x0002;
constexpr PortOptions kRtsEnableToo = 0x0200;  // the same as kRtsEnable
constexpr PortOptions kRtsHandshake = 0x1000;
constexpr PortOptions kRtsToggle = 0x2000;

// Results of OpenPort.
constexpr int32_t kPortOpened = 0;          // opened and configured (the null device: opened only)
constexpr int32_t kPortNotOpened = 1;       // did not open, or its time-outs were refused
constexpr int32_t kPortStateUnreadable = 4; // its current state could not be read; closed again
constexpr int32_t kPortSettingsRefused = 5; // the line settings were refused; closed again
// Results of ClosePort.
constexpr int32_t kPortClosed = 0;
constexpr int32_t kPortCloseRefused = 7;

// Opens the device of this name exclusively and gives it the fixed time-outs, the line
// settings and the DTR/RTS modes. The handle place gets the handle, or all bits set when the
// device did not open; it is only of use when the result is kPortOpened. "NUL" is opened and
// nothing more.
int32_t OpenPort(const char* name, const PortSettings& settings, PortOptions options,
                 PortHandle* handle);

// Closes the device: kPortClosed, or kPortCloseRefused when the platform would not.
int32_t ClosePort(PortHandle handle);

// Sets the read total time-out to count × 10 ms and returns the one in force before, in
// units of 10 ms; 0 when the platform failed.
int32_t SetReadTimeout(PortHandle handle, int32_t count);
