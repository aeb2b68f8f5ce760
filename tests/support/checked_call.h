#pragma once

#include <cstdint>

#include "driver/driver_request.h"

typedef int32_t(QOR_WINAPI* QorMainFunction)(DriverRequest* request);

struct CheckedResult {
    int32_t result;
    int32_t stackDelta;  // stack pointer after the call less before it; 0 when the callee cleaned up
};

// Calls QorMain the way the host does (one 4-byte argument pushed, no cleanup by the caller)
// and measures the stack pointer around the call.
CheckedResult CallChecked(QorMainFunction qorMain, DriverRequest* request);
