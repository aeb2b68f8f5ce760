#include "tests/alloc/scripted_stand_ins.h"

#include <cstring>

#include "dataexchange/tembrix3.h"
#include "serial/comm_operations.h"

namespace {

// ---- The data-exchange library ----

constexpr int kOrdinals = 41;

struct Script {
    int32_t answers[kOrdinals][2];
    int used[kOrdinals];
    int32_t calls;
} script;

int32_t Next(int ordinal) {
    ++script.calls;
    const int position = script.used[ordinal]++;
    return position < 2 ? script.answers[ordinal][position] : 0;
}

// Whatever a read delivers: a fixed pattern, whether it succeeds or not.
template <typename T>
void Deliver(T* destination) {
    if (destination != nullptr) std::memset(static_cast<void*>(destination), 0x5A, sizeof *destination);
}

// ---- The communications operations ----

constexpr int kOperations = 7;
int commCalls[kOperations];
int commFailing[kOperations];
const CommOperations* previousComm = nullptr;

bool Fails(int operation) { return ++commCalls[operation] == commFailing[operation]; }

PortHandle QOR_WINAPI ScriptedCreateFileA(const char*, uint32_t, uint32_t, void*, uint32_t, uint32_t, PortHandle) {
    return Fails(0) ? INVALID_HANDLE_VALUE : reinterpret_cast<PortHandle>(static_cast<uintptr_t>(0x200));
}
int32_t QOR_WINAPI ScriptedGetCommState(PortHandle, DCB* dcb) {
    if (Fails(1)) return 0;
    std::memset(dcb, 0, sizeof *dcb);
    dcb->DCBlength = sizeof *dcb;
    return 1;
}
int32_t QOR_WINAPI ScriptedSetCommState(PortHandle, DCB*) { return Fails(2) ? 0 : 1; }
int32_t QOR_WINAPI ScriptedGetCommTimeouts(PortHandle, COMMTIMEOUTS* timeouts) {
    if (Fails(3)) return 0;
    std::memset(timeouts, 0, sizeof *timeouts);
    timeouts->ReadTotalTimeoutConstant = 1000;
    return 1;
}
int32_t QOR_WINAPI ScriptedSetCommTimeouts(PortHandle, COMMTIMEOUTS*) { return Fails(4) ? 0 : 1; }
int32_t QOR_WINAPI ScriptedSetupComm(PortHandle, uint32_t, uint32_t) { return Fails(5) ? 0 : 1; }
int32_t QOR_WINAPI ScriptedCloseHandle(PortHandle) { return Fails(6) ? 0 : 1; }

const CommOperations scriptedComm = {
    ScriptedCreateFileA,     ScriptedGetCommState, ScriptedSetCommState, ScriptedGetCommTimeouts,
    ScriptedSetCommTimeouts, ScriptedSetupComm,    ScriptedCloseHandle,
};

}  // namespace

void ScriptLibrary(int32_t ordinal, int32_t first, int32_t second) {
    script.answers[ordinal][0] = first;
    script.answers[ordinal][1] = second;
}

void ResetLibraryScript() { std::memset(&script, 0, sizeof script); }
int32_t LibraryCalls() { return script.calls; }

void ResetCommScript() {
    std::memset(commCalls, 0, sizeof commCalls);
    std::memset(commFailing, 0, sizeof commFailing);
}
void FailComm(int operation, int nth) { commFailing[operation] = nth; }
int CommCalls() {
    int total = 0;
    for (int calls : commCalls) total += calls;
    return total;
}
void InstallScriptedComm() {
    previousComm = commOperations;
    commOperations = &scriptedComm;
}
void RemoveScriptedComm() { commOperations = previousComm; }

extern "C" {

int32_t QOR_WINAPI ActivateTag(const char*) { return Next(4); }
int32_t QOR_WINAPI DeactivateTag(const char*) { return Next(5); }
int32_t QOR_WINAPI ScanActiveTags() { return Next(6); }
int32_t QOR_WINAPI ReadTagFlags(const char*, int32_t, uint8_t* flags, int32_t) { Deliver(flags); return Next(7); }
int32_t QOR_WINAPI WriteTagFlags(const char*, int32_t, uint8_t*, int32_t) { return Next(8); }
int32_t QOR_WINAPI ReadTagLong(const char*, int32_t* value) { Deliver(value); return Next(11); }
int32_t QOR_WINAPI ReadTagShort(const char*, int16_t* value) { Deliver(value); return Next(12); }
int32_t QOR_WINAPI ReadTagDouble(const char*, double* value) { Deliver(value); return Next(13); }
int32_t QOR_WINAPI WriteTagLong(const char*, int32_t) { return Next(15); }
int32_t QOR_WINAPI WriteTagShort(const char*, int16_t) { return Next(16); }
int32_t QOR_WINAPI WriteTagDouble(const char*, double) { return Next(17); }
int32_t QOR_WINAPI ReadTagByte(const char*, uint8_t* value) { Deliver(value); return Next(24); }
int32_t QOR_WINAPI ReadTagWord(const char*, uint16_t* value) { Deliver(value); return Next(25); }
int32_t QOR_WINAPI ReadTagDword(const char*, uint32_t* value) { Deliver(value); return Next(26); }
int32_t QOR_WINAPI WriteTagByte(const char*, uint8_t) { return Next(33); }
int32_t QOR_WINAPI WriteTagWord(const char*, uint16_t) { return Next(34); }
int32_t QOR_WINAPI WriteTagDword(const char*, uint32_t) { return Next(35); }
int32_t QOR_WINAPI ReadTagText(const char*, char* text, int32_t capacity, int32_t* length) {
    if (text != nullptr && capacity > 0) std::memcpy(text, "text", capacity < 5 ? capacity : 5);
    if (length != nullptr) *length = 4;
    return Next(30);
}
int32_t QOR_WINAPI WriteTagText(const char*, const char*, int32_t) { return Next(40); }
int32_t QOR_WINAPI ReadArrayDouble(const char*, double* values, int32_t, int32_t, int32_t) { Deliver(values); return Next(21); }
int32_t QOR_WINAPI ReadArrayLong(const char*, int32_t* values, int32_t, int32_t, int32_t) { Deliver(values); return Next(22); }
int32_t QOR_WINAPI ReadArrayShort(const char*, int16_t* values, int32_t, int32_t, int32_t) { Deliver(values); return Next(23); }
int32_t QOR_WINAPI ReadArrayByte(const char*, uint8_t* values, int32_t, int32_t, int32_t) { Deliver(values); return Next(27); }
int32_t QOR_WINAPI ReadArrayWord(const char*, uint16_t* values, int32_t, int32_t, int32_t) { Deliver(values); return Next(28); }
int32_t QOR_WINAPI ReadArrayDword(const char*, uint32_t* values, int32_t, int32_t, int32_t) { Deliver(values); return Next(29); }
int32_t QOR_WINAPI WriteArrayLong(const char*, int32_t*, int32_t, int32_t, int32_t) { return Next(31); }
int32_t QOR_WINAPI WriteArrayShort(const char*, int16_t*, int32_t, int32_t, int32_t) { return Next(32); }
int32_t QOR_WINAPI WriteArrayByte(const char*, uint8_t*, int32_t, int32_t, int32_t) { return Next(36); }
int32_t QOR_WINAPI WriteArrayWord(const char*, uint16_t*, int32_t, int32_t, int32_t) { return Next(37); }
int32_t QOR_WINAPI WriteArrayDword(const char*, uint32_t*, int32_t, int32_t, int32_t) { return Next(38); }
int32_t QOR_WINAPI WriteArrayDouble(const char*, double*, int32_t, int32_t, int32_t) { return Next(39); }

}  // extern "C"
