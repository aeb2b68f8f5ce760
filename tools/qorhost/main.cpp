// qorhost: loads a QorBVN driver the way the host application does and identifies it.
#include <cstdio>
#include <string>

#include "tests/support/driver_library.h"
#include "tools/qorhost/cp437.h"

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : QOR_DEFAULT_DRIVER;
    DriverLibrary driver = LoadDriverLibrary(path);
    if (driver.qorMain == nullptr) {
        std::fprintf(stderr, "qorhost: cannot use driver %s: %s\n", path, driver.error.c_str());
        return 2;
    }
    DriverInfo info{};
    DriverRequest request{nullptr, 14, {}, &info};
    const int32_t result = driver.qorMain(&request);
    std::printf("request 14 -> %d\nvendor: %s\nbanner:%s", result, info.vendor,
                Cp437ToUtf8(info.banner).c_str());
    UnloadDriverLibrary(driver);
    return result == 0 ? 0 : 1;
}
