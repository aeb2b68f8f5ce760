// A host whose runtime library has no err: loading the driver must fail with a clear
// error, never bind to the C library's err(3) (which would end the process).
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    if (dlopen(argv[1], RTLD_NOW | RTLD_GLOBAL) == nullptr) {
        std::printf("cannot load the runtime without err: %s\n", dlerror());
        return 2;
    }
    if (dlopen(argv[2], RTLD_NOW | RTLD_LOCAL) != nullptr) {
        std::printf("the driver loaded although the host has no err\n");
        return 1;
    }
    const char* error = dlerror();
    std::printf("load refused: %s\n", error);
    return std::strstr(error, "err") != nullptr ? 0 : 1;
}
