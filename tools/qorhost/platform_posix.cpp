// The bench on Linux: dlopen, /proc/self/exe.
#include "tools/qorhost/platform.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

void* OpenModule(const std::string& path, std::string& reason) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* why = dlerror();
        reason = why != nullptr ? why : "dlopen failed";
    }
    return module;
}

void* FindModuleSymbol(void* module, const char* name) { return dlsym(module, name); }

void CloseModule(void* module) {
    if (module != nullptr) dlclose(module);
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "./";
    std::string folder(path, static_cast<size_t>(length));
    return folder.substr(0, folder.find_last_of('/') + 1);
}

bool FileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

void PrepareConsole() {}
