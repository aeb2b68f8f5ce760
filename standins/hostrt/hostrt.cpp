#include "standins/hostrt/hostrt.h"

#include <cstdio>

namespace {
HostRtSink currentSink = nullptr;
void* currentContext = nullptr;
}

extern "C" {

HOSTRT_API void HostRtSetSink(HostRtSink sink, void* context) {
    currentSink = sink;
    currentContext = context;
}

#if !defined(HOSTRT_WITHOUT_ERR)
// The host's message function, as the driver imports it.
HOSTRT_API void err(int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (currentSink != nullptr) {
        currentSink(currentContext, level, format, args);
    } else {
        std::fprintf(stderr, "[%d] ", level);
        std::vfprintf(stderr, format, args);
        std::fputc('\n', stderr);
    }
    va_end(args);
}
#endif

}
