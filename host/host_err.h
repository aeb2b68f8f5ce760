#pragma once

// The host's message function, imported by name from the host's runtime library.
// It takes a level and a printf-style format; the caller removes the arguments.
#if defined(_WIN32)

extern "C" __declspec(dllimport) void __cdecl err(int level, const char* format, ...);
#define QOR_HOST_ERR err

#else

// The C library exports an err(3) that prints and ends the process. The import is pinned
// to the host runtime's own version of the name, so it can never bind to that one; a host
// without err fails to load the driver instead.
extern "C" void HostErr(int level, const char* format, ...);
__asm__(".symver HostErr, err@" QOR_HOST_ERR_VERSION);
#define QOR_HOST_ERR HostErr

#endif
