#pragma once

#include <cstdarg>

// Stand-in for the host application's runtime library: it exports the host's message
// function err, and lets the program that loaded the driver decide where messages go.

#if defined(_WIN32)
#if defined(HOSTRT_BUILDING)
#define HOSTRT_API __declspec(dllexport)
#else
#define HOSTRT_API __declspec(dllimport)
#endif
#else
#define HOSTRT_API __attribute__((visibility("default")))
#endif

// Receives every message: the level, the format and its arguments.
typedef void (*HostRtSink)(void* context, int level, const char* format, va_list args);

extern "C" {
// Routes messages to sink; a null sink restores the default (a line on standard error).
HOSTRT_API void HostRtSetSink(HostRtSink sink, void* context);
}
