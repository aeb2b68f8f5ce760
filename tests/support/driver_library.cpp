#include "tests/support/driver_library.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

DriverLibrary LoadDriverLibrary(const char* path) {
    DriverLibrary library;
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr) {
        library.error = "LoadLibrary failed with error " + std::to_string(GetLastError());
        return library;
    }
    library.module = module;
    library.qorMain = reinterpret_cast<QorMainFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "QorMain")));
#else
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        library.error = dlerror();
        return library;
    }
    library.module = module;
    library.qorMain = reinterpret_cast<QorMainFunction>(dlsym(module, "QorMain"));
#endif
    if (library.qorMain == nullptr) library.error = "no QorMain";
    return library;
}

void UnloadDriverLibrary(DriverLibrary& library) {
    if (library.module == nullptr) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(library.module));
#else
    dlclose(library.module);
#endif
    library.module = nullptr;
    library.qorMain = nullptr;
}
