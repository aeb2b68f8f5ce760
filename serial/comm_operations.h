#pragma once

// The Windows communications records and functions the port primitives are written against,
// declared here from their published field lists, and the table the primitives call them
// through. Windows fills the table with the system's functions (comm_win32.cpp), Linux with
// a layer over termios (comm_posix.cpp); a test may put in one of its own.

#include <cstddef>
#include <cstdint>

#include "driver/calling_convention.h"
#include "serial/serial_port.h"

// The device control block: line settings of a communications device.
struct DCB {
    uint32_t DCBlength;
    uint32_t BaudRate;
    uint32_t fBinary : 1;
    uint32_t fParity : 1;
    uint32_t fOutxCtsFlow : 1;
    uint32_t fOutxDsrFlow : 1;
    uint32_t fDtrControl : 2;
    uint32_t fDsrSensitivity : 1;
    uint32_t fTXContinueOnXoff : 1;
    uint32_t fOutX : 1;
    uint32_t fInX : 1;
    uint32_t fErrorChar : 1;
    uint32_t fNull : 1;
    uint32_t fRtsControl : 2;
    uint32_t fAbortOnError : 1;
    uint32_t fDummy2 : 17;
    uint16_t wReserved;
    uint16_t XonLim;
    uint16_t XoffLim;
    uint8_t ByteSize;
    uint8_t Parity;
    uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    uint16_t wReserved1;
};
static_assert(offsetof(DCB, BaudRate) == 4, "DCB layout");
static_assert(offsetof(DCB, wReserved) == 12, "DCB layout");
static_assert(offsetof(DCB, XonLim) == 14, "DCB layout");
static_assert(offsetof(DCB, XoffLim) == 16, "DCB layout");
static_assert(offsetof(DCB, ByteSize) == 18, "DCB layout");
static_assert(offsetof(DCB, Parity) == 19, "DCB layout");
static_assert(offsetof(DCB, StopBits) == 20, "DCB layout");
static_assert(offsetof(DCB, XonChar) == 21, "DCB layout");
static_assert(offsetof(DCB, XoffChar) == 22, "DCB layout");
static_assert(offsetof(DCB, ErrorChar) == 23, "DCB layout");
static_assert(offsetof(DCB, EofChar) == 24, "DCB layout");
static_assert(offsetof(DCB, EvtChar) == 25, "DCB layout");
static_assert(offsetof(DCB, wReserved1) == 26, "DCB layout");
static_assert(sizeof(DCB) == 28, "DCB layout");

// The five time-outs of a communications device, in milliseconds.
struct COMMTIMEOUTS {
    uint32_t ReadIntervalTimeout;
    uint32_t ReadTotalTimeoutMultiplier;
    uint32_t ReadTotalTimeoutConstant;
    uint32_t WriteTotalTimeoutMultiplier;
    uint32_t WriteTotalTimeoutConstant;
};
static_assert(offsetof(COMMTIMEOUTS, ReadIntervalTimeout) == 0, "COMMTIMEOUTS layout");
static_assert(offsetof(COMMTIMEOUTS, ReadTotalTimeoutMultiplier) == 4, "COMMTIMEOUTS layout");
static_assert(offsetof(COMMTIMEOUTS, ReadTotalTimeoutConstant) == 8, "COMMTIMEOUTS layout");
static_assert(offsetof(COMMTIMEOUTS, WriteTotalTimeoutMultiplier) == 12, "COMMTIMEOUTS layout");
static_assert(offsetof(COMMTIMEOUTS, WriteTotalTimeoutConstant) == 16, "COMMTIMEOUTS layout");
static_assert(sizeof(COMMTIMEOUTS) == 20, "COMMTIMEOUTS layout");

// The platform's constants, by their published names and values.
constexpr uint32_t GENERIC_READ = 0x80000000u;
constexpr uint32_t GENERIC_WRITE = 0x40000000u;
constexpr uint32_t OPEN_EXISTING = 3;
constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr uint32_t MAXDWORD = 0xFFFFFFFFu;
inline const PortHandle INVALID_HANDLE_VALUE = reinterpret_cast<PortHandle>(~static_cast<uintptr_t>(0));

constexpr uint32_t DTR_CONTROL_DISABLE = 0;
constexpr uint32_t DTR_CONTROL_ENABLE = 1;
constexpr uint32_t DTR_CONTROL_HANDSHAKE = 2;
constexpr uint32_t RTS_CONTROL_DISABLE = 0;
constexpr uint32_t RTS_CONTROL_ENABLE = 1;
constexpr uint32_t RTS_CONTROL_HANDSHAKE = 2;
constexpr uint32_t RTS_CONTROL_TOGGLE = 3;

constexpr uint8_t NOPARITY = 0;
constexpr uint8_t ODDPARITY = 1;
constexpr uint8_t EVENPARITY = 2;
constexpr uint8_t MARKPARITY = 3;
constexpr uint8_t SPACEPARITY = 4;
constexpr uint8_t ONESTOPBIT = 0;
constexpr uint8_t ONE5STOPBITS = 1;
constexpr uint8_t TWOSTOPBITS = 2;

// The seven operations, with the system's argument lists. The BOOL results are non-zero on
// success.
struct CommOperations {
    PortHandle(QOR_WINAPI* CreateFileA)(const char* fileName, uint32_t desiredAccess,
                                        uint32_t shareMode, void* securityAttributes,
                                        uint32_t creationDisposition, uint32_t flagsAndAttributes,
                                        PortHandle templateFile);
    int32_t(QOR_WINAPI* GetCommState)(PortHandle file, DCB* dcb);
    int32_t(QOR_WINAPI* SetCommState)(PortHandle file, DCB* dcb);
    int32_t(QOR_WINAPI* GetCommTimeouts)(PortHandle file, COMMTIMEOUTS* timeouts);
    int32_t(QOR_WINAPI* SetCommTimeouts)(PortHandle file, COMMTIMEOUTS* timeouts);
    int32_t(QOR_WINAPI* SetupComm)(PortHandle file, uint32_t inQueue, uint32_t outQueue);
    int32_t(QOR_WINAPI* CloseHandle)(PortHandle object);
};

// This platform's operations, filled in by its own file.
extern const CommOperations platformComm;

// The table the primitives call through: the platform's, unless a test put in its own.
inline const CommOperations* commOperations = &platformComm;
