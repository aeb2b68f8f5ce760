#include "tests/support/tembrix3_sim.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
void* OpenSimLibrary() {
    HMODULE module = GetModuleHandleA("Tembrix3.dll");
    if (module == nullptr) module = LoadLibraryA("Tembrix3.dll");
    return reinterpret_cast<void*>(module);
}
void* FindFunction(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
#else
void* OpenSimLibrary() {
    void* module = dlopen("libTembrix3.so", RTLD_NOW | RTLD_NOLOAD);
    if (module != nullptr) return module;
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 32);
    if (length <= 0) return nullptr;
    path[length] = '\0';
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return nullptr;
    std::strcpy(slash + 1, "libTembrix3.so");
    return dlopen(path, RTLD_NOW);
}
void* FindFunction(void* module, const char* name) { return dlsym(module, name); }
#endif

template <typename Function>
void Bind(void* module, const char* name, Function& function) {
    void* address = FindFunction(module, name);
    if (address == nullptr) {
        std::fprintf(stderr, "simulated Tembrix3: no %s\n", name);
        std::abort();
    }
    function = reinterpret_cast<Function>(address);
}

SimControl LoadControl() {
    void* module = OpenSimLibrary();
    if (module == nullptr) {
        std::fprintf(stderr, "simulated Tembrix3 library not found\n");
        std::abort();
    }
    SimControl control{};
    Bind(module, "SimReset", control.reset);
    Bind(module, "SimSetDataDirectory", control.setDataDirectory);
    Bind(module, "SimDefineTag", control.defineTag);
    Bind(module, "SimRemoveTag", control.removeTag);
    Bind(module, "SimSetValue", control.setValue);
    Bind(module, "SimGetValue", control.getValue);
    Bind(module, "SimInjectStatus", control.injectStatus);
    Bind(module, "SimCallCount", control.callCount);
    Bind(module, "SimGetCall", control.getCall);
    Bind(module, "SimClearLog", control.clearLog);
    Bind(module, "SimSetTagActive", control.setTagActive);
    Bind(module, "SimFunctionName", control.functionName);
    return control;
}

// How many numeric arguments each function logs, and what a write passes.
enum class Passed { Nothing, Bits, Real, Text };

struct Shape {
    int numbers;
    Passed passed;
};

Shape ShapeOf(int32_t ordinal) {
    switch (ordinal) {
        case 7: return {2, Passed::Nothing};
        case 8: return {2, Passed::Bits};
        case 15: case 16: case 33: case 34: case 35: return {0, Passed::Bits};
        case 17: return {0, Passed::Real};
        case 30: return {1, Passed::Nothing};
        case 40: return {1, Passed::Text};
        case 21: case 22: case 23: case 27: case 28: case 29: return {3, Passed::Nothing};
        case 31: case 32: case 36: case 37: case 38: return {3, Passed::Bits};
        case 39: return {3, Passed::Real};
        default: return {0, Passed::Nothing};
    }
}

}  // namespace

const SimControl& Sim() {
    static const SimControl control = LoadControl();
    return control;
}

SimValue SimBits(uint32_t bits) {
    SimValue value{};
    value.bits = bits;
    return value;
}

SimValue SimReal(double real) {
    SimValue value{};
    value.real = real;
    return value;
}

SimValue SimText(const char* text) {
    SimValue value{};
    std::strncpy(value.text, text, sizeof value.text - 1);
    return value;
}

SimAnswer Answer(int32_t ordinal, int32_t status) { return {ordinal, status, false, SimValue{}}; }

SimAnswer Deliver(int32_t ordinal, int32_t status, const SimValue& value) {
    return {ordinal, status, true, value};
}

void Script(const std::vector<SimAnswer>& answers) {
    for (const SimAnswer& answer : answers) {
        Sim().injectStatus(answer.ordinal, answer.status, 1, answer.delivers ? &answer.value : nullptr);
    }
}

std::string DescribeCall(const SimCall& call) {
    const char* function = Sim().functionName(call.ordinal);
    std::string line = function != nullptr ? function : "ordinal " + std::to_string(call.ordinal);
    line += "(";
    const bool named = call.ordinal != 6;
    if (named) line += call.name;
    const Shape shape = ShapeOf(call.ordinal);
    for (int i = 0; i < shape.numbers; ++i) line += ", " + std::to_string(call.numbers[i]);
    char number[64];
    switch (shape.passed) {
        case Passed::Bits: line += ", " + std::to_string(call.passed.bits); break;
        case Passed::Real:
            std::snprintf(number, sizeof number, "%.17g", call.passed.real);
            line += ", ";
            line += number;
            break;
        case Passed::Text: line += ", \"" + std::string(call.passed.text) + "\""; break;
        case Passed::Nothing: break;
    }
    return line + ")";
}

std::vector<std::string> LoggedCalls() {
    std::vector<std::string> lines;
    const int32_t count = Sim().callCount();
    for (int32_t i = 0; i < count; ++i) {
        SimCall call;
        if (Sim().getCall(i, &call) == 0) lines.push_back(DescribeCall(call));
    }
    return lines;
}
