// The bench on Windows: LoadLibraryA, GetModuleFileNameA, a UTF-8 console.
#include "tools/qorhost/platform.h"

#include <windows.h>

#include <cstdio>

namespace {

std::string SystemMessage(DWORD code) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        code, 0, text, sizeof text, nullptr);
    std::string out(text, length);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ')) out.pop_back();
    return out.empty() ? "error " + std::to_string(code) : out + " (error " + std::to_string(code) + ")";
}

}  // namespace

void* OpenModule(const std::string& path, std::string& reason) {
    // No dialog box for a file that is not a module.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path.c_str());
    const DWORD code = GetLastError();
    SetErrorMode(previous);
    if (module == nullptr) reason = SystemMessage(code);
    return reinterpret_cast<void*>(module);
}

void* FindModuleSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void CloseModule(void* module) {
    if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return ".\\";
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void PrepareConsole() { SetConsoleOutputCP(CP_UTF8); }
