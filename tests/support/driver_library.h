#pragma once

#include <string>

#include "tests/support/checked_call.h"

// The built driver library, loaded the way a host loads it: by path, QorMain by name.
struct DriverLibrary {
    void* module = nullptr;
    QorMainFunction qorMain = nullptr;
    std::string error;  // why loading failed
};

DriverLibrary LoadDriverLibrary(const char* path);
void UnloadDriverLibrary(DriverLibrary& library);
