// libFuzzer target: QorMain with arbitrary request codes and arbitrary host records.
//
// One input describes a small world and a run of requests on it:
//   - tags defined in the simulated data-exchange library, and statuses (with delivered
//     values) it answers to chosen functions;
//   - which calls of the seven communications operations fail (a scripted stand-in: no real
//     device is ever opened);
//   - the channel's record, kept from request to request as the host keeps it;
//   - up to eight requests, each with its code and parameter record.
// Every record lives in its own heap block between poisoned guard bytes, so the sanitizer
// stops any access outside it, and the guards are compared after each request as well.
// After each request the documented invariants are checked; a violation aborts with a line
// saying which. The input format is read front to back (see FuzzInput); make_corpus.py
// writes the seeds in the same format.
#include <sanitizer/asan_interface.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dataexchange/tembrix3.h"
#include "driver/driver_request.h"
#include "gates/gate_record.h"
#include "serial/channel_config.h"
#include "serial/comm_operations.h"
#include "standins/hostrt/hostrt.h"
#include "standins/tembrix3/tembrix3_control.h"

namespace {

// QORBVN_FUZZ_TRACE=1 in the environment: each request and each communications call on
// standard error, to read what a crashing input does.
bool tracing = false;
#define TRACE(...)                                    \
    do {                                              \
        if (tracing) std::fprintf(stderr, __VA_ARGS__); \
    } while (0)

[[noreturn]] void Violated(const char* what, long detail = 0) {
    std::fprintf(stderr, "qorbvn_fuzz: invariant violated: %s (%ld)\n", what, detail);
    std::abort();
}
#define EXPECT(condition, what, detail) \
    do {                                \
        if (!(condition)) Violated(what, static_cast<long>(detail)); \
    } while (0)

// ---- Reading the input, front to back; zeros once it runs out ----

struct FuzzInput {
    const uint8_t* data;
    size_t size;
    size_t at = 0;

    uint8_t Byte() { return at < size ? data[at++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    uint32_t U32() { return static_cast<uint32_t>(U16() | static_cast<uint32_t>(U16()) << 16); }
    void Bytes(void* out, size_t count) {
        uint8_t* bytes = static_cast<uint8_t*>(out);
        for (size_t i = 0; i < count; ++i) bytes[i] = Byte();
    }
    // A 32-bit number: one selector byte picks a value worth trying, or the next four bytes.
    int32_t Number(const int32_t* picks, size_t pickCount) {
        const uint8_t selector = Byte();
        if (selector < pickCount) return picks[selector];
        return static_cast<int32_t>(U32());
    }
};

// ---- Guarded heap blocks ----

constexpr size_t kGuard = 32;
constexpr uint8_t kGuardByte = 0xA5;

struct Block {
    uint8_t* base = nullptr;
    size_t size = 0;
    uint8_t* data() const { return base + kGuard; }
};

Block Allocate(size_t size) {
    Block block;
    block.size = size;
    block.base = static_cast<uint8_t*>(std::malloc(size + 2 * kGuard));
    std::memset(block.base, kGuardByte, kGuard);
    std::memset(block.base + kGuard + size, kGuardByte, kGuard);
    std::memset(block.data(), 0, size);
    ASAN_POISON_MEMORY_REGION(block.base, kGuard);
    ASAN_POISON_MEMORY_REGION(block.base + kGuard + size, kGuard);
    return block;
}

void CheckGuards(const Block& block, const char* what) {
    ASAN_UNPOISON_MEMORY_REGION(block.base, kGuard);
    ASAN_UNPOISON_MEMORY_REGION(block.base + kGuard + block.size, kGuard);
    for (size_t i = 0; i < kGuard; ++i) {
        EXPECT(block.base[i] == kGuardByte, what, i);
        EXPECT(block.base[kGuard + block.size + i] == kGuardByte, what, block.size + i);
    }
    ASAN_POISON_MEMORY_REGION(block.base, kGuard);
    ASAN_POISON_MEMORY_REGION(block.base + kGuard + block.size, kGuard);
}

void Release(Block& block) {
    if (block.base == nullptr) return;
    CheckGuards(block, "guard bytes changed");
    ASAN_UNPOISON_MEMORY_REGION(block.base, block.size + 2 * kGuard);
    std::free(block.base);
    block.base = nullptr;
}

// ---- Scripted communications operations: no device is ever opened ----

constexpr int kCommOperations = 7;
enum CommOperation { kCreate, kGetState, kSetState, kGetTimeouts, kSetTimeouts, kSetup, kClose };
constexpr int kMaxPorts = 8;

struct FakePort {
    bool open;
    bool closeTried;  // CloseHandle was called on it, whatever it answered
    char name[16];
    COMMTIMEOUTS timeouts;
};

struct FakeComm {
    uint8_t failPattern[kCommOperations];  // bit n set: the operation's call n (0..7) fails
    int calls[kCommOperations];
    FakePort ports[kMaxPorts];
    uint8_t dcbFill;
} comm;

const char* const kCommNames[kCommOperations] = {"CreateFileA", "GetCommState", "SetCommState",
                                                 "GetCommTimeouts", "SetCommTimeouts", "SetupComm",
                                                 "CloseHandle"};

bool Fails(CommOperation operation) {
    const int call = comm.calls[operation]++;
    const bool fails = call < 8 && (comm.failPattern[operation] >> call & 1) != 0;
    TRACE("    %s%s\n", kCommNames[operation], fails ? " fails" : "");
    return fails;
}

PortHandle HandleOf(int slot) { return reinterpret_cast<PortHandle>(static_cast<uintptr_t>(0x1000 + slot)); }

FakePort* PortOf(PortHandle handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < 0x1000 || value >= 0x1000u + kMaxPorts) return nullptr;
    FakePort& port = comm.ports[value - 0x1000];
    return port.open ? &port : nullptr;
}

// Only the port just opened is ever configured: the handle must be one of ours and open.
FakePort& Configured(PortHandle handle) {
    FakePort* port = PortOf(handle);
    EXPECT(port != nullptr, "a communications operation on a handle that is not open",
           reinterpret_cast<uintptr_t>(handle));
    return *port;
}

PortHandle QOR_WINAPI FakeCreateFileA(const char* name, uint32_t access, uint32_t share, void* security,
                                      uint32_t disposition, uint32_t attributes, PortHandle templateFile) {
    EXPECT(access == (GENERIC_READ | GENERIC_WRITE) && share == 0 && security == nullptr &&
               disposition == OPEN_EXISTING && attributes == FILE_ATTRIBUTE_NORMAL && templateFile == nullptr,
           "CreateFileA arguments", access);
    const size_t length = std::strlen(name);  // the whole text must be readable
    if (Fails(kCreate) || length == 0 || length >= sizeof FakePort::name) return INVALID_HANDLE_VALUE;
    for (const FakePort& port : comm.ports) {
        if (port.open && std::strcmp(port.name, name) == 0) return INVALID_HANDLE_VALUE;  // held
    }
    for (int slot = 0; slot < kMaxPorts; ++slot) {
        FakePort& port = comm.ports[slot];
        if (port.open) continue;
        port.open = true;
        port.closeTried = false;
        std::memcpy(port.name, name, length + 1);
        port.timeouts = COMMTIMEOUTS{0, 0, 0, 0, 0};
        return HandleOf(slot);
    }
    return INVALID_HANDLE_VALUE;
}

int32_t QOR_WINAPI FakeGetCommState(PortHandle handle, DCB* dcb) {
    Configured(handle);
    EXPECT(dcb->DCBlength == 28, "DCBlength before GetCommState", dcb->DCBlength);
    if (Fails(kGetState)) return 0;
    std::memset(dcb, comm.dcbFill, sizeof *dcb);
    dcb->DCBlength = 28;
    return 1;
}

int32_t QOR_WINAPI FakeSetCommState(PortHandle handle, DCB* dcb) {
    Configured(handle);
    EXPECT(dcb->ErrorChar == static_cast<char>(0xFC), "ErrorChar", dcb->ErrorChar);
    return Fails(kSetState) ? 0 : 1;
}

int32_t QOR_WINAPI FakeGetCommTimeouts(PortHandle handle, COMMTIMEOUTS* timeouts) {
    FakePort& port = Configured(handle);
    if (Fails(kGetTimeouts)) return 0;
    *timeouts = port.timeouts;
    return 1;
}

int32_t QOR_WINAPI FakeSetCommTimeouts(PortHandle handle, COMMTIMEOUTS* timeouts) {
    FakePort& port = Configured(handle);
    if (Fails(kSetTimeouts)) return 0;
    port.timeouts = *timeouts;
    return 1;
}

int32_t QOR_WINAPI FakeSetupComm(PortHandle handle, uint32_t in, uint32_t out) {
    Configured(handle);
    EXPECT(in == 1200 && out == 1200, "SetupComm queue sizes", in);
    return Fails(kSetup) ? 0 : 1;
}

int32_t QOR_WINAPI FakeCloseHandle(PortHandle handle) {
    FakePort* port = PortOf(handle);
    if (port != nullptr) port->closeTried = true;
    if (Fails(kClose) || port == nullptr) return 0;
    port->open = false;
    return 1;
}

const CommOperations fakeComm = {
    FakeCreateFileA, FakeGetCommState, FakeSetCommState, FakeGetCommTimeouts,
    FakeSetCommTimeouts, FakeSetupComm, FakeCloseHandle,
};

// ---- Messages reaching the host's err ----

const char* const kKnownFormats[] = {
    "QorBVN: Set PATH to the Brevanost BIN directory",
    "QorBVN: Can not Activate gate %s, rc=%d",
    "QorBVN: SacnActiveTage failed , rc=%d",
    "QorBVN: Illegal array index for gate %s",
    "QorBVN: Read Gate %s failed (%d)",
    "QorBVN: Can not Read Gate %s as array",
    "QorBVN: Can not Re Activate gate %s, rc=%d",
    "QorBVN: Can not write Gate %s as array",
    "QorBVN: Write to Gate %s failed (%d)",
    kMessageNameTooLong,
};

constexpr int kMaxStatuses = 8;

struct MessageCheck {
    const char* gateName;  // the name of the request's gate, or null
    int messages;
    int statusCount;
    int32_t statuses[kMaxStatuses];  // every %d, to be found among the library's answers
} messageCheck;

void CheckMessage(void*, int level, const char* format, va_list args) {
    EXPECT(level == 32, "message level", level);
    EXPECT(std::strncmp(format, "QorBVN: ", 8) == 0, "message prefix", 0);
    bool known = false;
    for (const char* candidate : kKnownFormats) known = known || std::strcmp(candidate, format) == 0;
    EXPECT(known, "unknown message format", std::strlen(format));
    ++messageCheck.messages;
    // One argument per conversion, of the conversion's kind: each %s the gate's whole name.
    for (const char* at = std::strchr(format, '%'); at != nullptr; at = std::strchr(at + 2, '%')) {
        if (at[1] == 's') {
            const char* text = va_arg(args, const char*);
            EXPECT(messageCheck.gateName != nullptr, "%s in a request without a gate", 0);
            EXPECT(std::strcmp(text, messageCheck.gateName) == 0, "%s is not the gate's whole name", 0);
        } else if (at[1] == 'd') {
            const int32_t status = va_arg(args, int32_t);
            if (messageCheck.statusCount < kMaxStatuses) messageCheck.statuses[messageCheck.statusCount++] = status;
        } else {
            Violated("conversion other than %s and %d", at[1]);
        }
    }
}

// Every %d quoted must be a status the library answered during the request.
void CheckQuotedStatuses() {
    const int32_t calls = SimCallCount();
    for (int i = 0; i < messageCheck.statusCount; ++i) {
        bool answered = false;
        for (int32_t position = 0; position < calls && !answered; ++position) {
            SimCall call;
            if (SimGetCall(position, &call) == 0) answered = call.status == messageCheck.statuses[i];
        }
        EXPECT(answered, "a quoted status the library never answered", messageCheck.statuses[i]);
    }
}

// ---- The world an input describes ----

const int32_t kOrdinals[] = {4, 5, 6, 7, 8, 11, 12, 13, 15, 16, 17, 21, 22, 23, 24, 25,
                             26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40};
const int32_t kStatusPicks[] = {0, -2000, -2005, -2007, -2009, -2001, -2004, -1, 1};
const int32_t kTypePicks[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, -1, 42};
const int32_t kCodePicks[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, -1};

void DefineWorld(FuzzInput& input) {
    SimReset();
    SimSetDataDirectory((input.Byte() & 1) == 0);
    const int tags = input.Byte() % 5;
    for (int i = 0; i < tags; ++i) {
        char name[48] = {};
        const size_t length = input.Byte() % 40;
        input.Bytes(name, length);
        const int32_t type = input.Byte() % 8;
        const int32_t first = static_cast<int8_t>(input.Byte());
        const int32_t count = input.Byte() % 17;
        SimDefineTag(name, type, first, count);
        if (input.Byte() & 1) SimSetTagActive(name, 1);
    }
    const int injections = input.Byte() % 9;
    for (int i = 0; i < injections; ++i) {
        const int32_t ordinal = kOrdinals[input.Byte() % (sizeof kOrdinals / sizeof kOrdinals[0])];
        const int32_t status = input.Number(kStatusPicks, sizeof kStatusPicks / sizeof kStatusPicks[0]);
        const int32_t count = 1 + input.Byte() % 4;
        SimValue value{};
        const bool delivers = input.Byte() & 1;
        value.bits = input.U32();
        input.Bytes(&value.real, sizeof value.real);
        input.Bytes(value.text, input.Byte() % sizeof value.text);
        value.text[sizeof value.text - 1] = '\0';
        SimInjectStatus(ordinal, status, count, delivers ? &value : nullptr);
    }
    std::memset(&comm, 0, sizeof comm);
    input.Bytes(comm.failPattern, sizeof comm.failPattern);
    comm.dcbFill = input.Byte();
}

// ---- One request ----

bool IsHandler(int32_t code) {
    return code >= 1 && code <= 15 && code != 8 && code != 9;
}

void CheckResult(int32_t code, int32_t result) {
    switch (code) {
        case 1: case 2: case 3: case 11: case 14: EXPECT(result == 0, "result", result); break;
        case 4: case 6: case 10: EXPECT(result == 1, "result", result); break;
        case 5: case 7: EXPECT(result == 0 || result == 1, "gate result", result); break;
        case 12: case 13: case 15: EXPECT(result == 0 || result == 2, "channel result", result); break;
        default: EXPECT(result == kRequestNotServed, "unserved code answered", result); break;
    }
}

bool Same(const void* a, const void* b, size_t size) { return std::memcmp(a, b, size) == 0; }

// Which handles are open in the stand-in, as a bit set.
unsigned OpenPorts() {
    unsigned open = 0;
    for (int slot = 0; slot < kMaxPorts; ++slot) open |= (comm.ports[slot].open ? 1u : 0u) << slot;
    return open;
}

struct GateParams {
    Block record;
    Block name;
    Block cell;
};

GateParams MakeGate(FuzzInput& input) {
    GateParams gate;
    const size_t length = input.U16() % 400;
    gate.name = Allocate(length + 1);
    input.Bytes(gate.name.data(), length);
    // Names short enough for the working copy get brackets more often than chance would give.
    if (length > 0 && (input.Byte() & 3) == 0) gate.name.data()[input.Byte() % length] = '[';
    if (length > 0 && (input.Byte() & 3) == 0) gate.name.data()[input.Byte() % length] = ']';
    gate.name.data()[length] = '\0';

    gate.record = Allocate(sizeof(GateRecord));
    GateRecord& record = *reinterpret_cast<GateRecord*>(gate.record.data());
    input.Bytes(&record, sizeof record);
    record.name = reinterpret_cast<const char*>(gate.name.data());
    record.type = input.Number(kTypePicks, sizeof kTypePicks / sizeof kTypePicks[0]);
    // A text gate's cell offers 80 bytes, every other cell 4.
    gate.cell = Allocate(static_cast<uint32_t>(record.type) == GateText ? 80 : 4);
    input.Bytes(gate.cell.data(), gate.cell.size);
    record.value = reinterpret_cast<ValueCell*>(gate.cell.data());
    return gate;
}

void CheckGate(int32_t code, const GateParams& gate, const uint8_t* recordBefore, const uint8_t* cellBefore,
               const char* nameBefore) {
    const GateRecord& after = *reinterpret_cast<const GateRecord*>(gate.record.data());
    const GateRecord& before = *reinterpret_cast<const GateRecord*>(recordBefore);
    EXPECT(std::strcmp(after.name, nameBefore) == 0 && after.name == before.name, "gate name changed", code);
    const uint8_t* cell = gate.cell.data();
    if (code == 3) {
        EXPECT(Same(&after, &before, 16) && Same(after.hostOwned, before.hostOwned, 8), "activation wrote a field not its own", 0);
        EXPECT(after.activationOut1 == 0 && after.activationOut4 == 255 && after.activationOut5 == 16 &&
                   after.activationOut2 == before.activationIn2 && after.activationOut3 == before.activationIn1,
               "activation fields", 0);
        EXPECT(Same(cell, cellBefore, gate.cell.size), "activation touched the cell", 0);
        return;
    }
    EXPECT(Same(&after, &before, sizeof after), "read or write changed the gate record", code);
    if (code == 7) {
        EXPECT(Same(cell, cellBefore, gate.cell.size), "write changed the cell", 0);
        return;
    }
    switch (static_cast<uint32_t>(before.type)) {
        case GateWord: case GateShort: case GateWordAlt: case GateFlag:
            EXPECT(Same(cell, cellBefore, 2), "bytes 0-1 of a 16-bit cell written", before.type);
            break;
        case GateReal: case GateLong: case GateDword: case GateText:
            break;
        default:
            EXPECT(Same(cell, cellBefore, gate.cell.size), "cell of no gate type written", before.type);
    }
}

void RunRequest(FuzzInput& input, Block& channelBlock) {
    const int32_t code = input.Number(kCodePicks, sizeof kCodePicks / sizeof kCodePicks[0]);
    ChannelState& channel = *reinterpret_cast<ChannelState*>(channelBlock.data());
    // The host may change its record between requests; mostly it does not.
    if ((input.Byte() & 7) == 0) input.Bytes(&channel, sizeof channel);
    const ChannelState channelBefore = channel;

    Block requestBlock = Allocate(sizeof(DriverRequest));
    DriverRequest& request = *reinterpret_cast<DriverRequest*>(requestBlock.data());
    input.Bytes(&request, sizeof request);
    request.channel = &channel;
    request.code = code;

    const bool gateRequest = code == 3 || code == 5 || code == 7;
    GateParams gate{};
    Block params{};
    size_t paramsSize = 64;
    if (code == 1) paramsSize = sizeof(ChannelActivation);
    if (code == 14) paramsSize = sizeof(DriverInfo);
    if (code == 15) paramsSize = sizeof(ChannelConfig);
    if (gateRequest) {
        gate = MakeGate(input);
        request.params = gate.record.data();
    } else {
        params = Allocate(paramsSize);
        input.Bytes(params.data(), paramsSize);
        request.params = params.data();
    }
    uint8_t requestBefore[sizeof(DriverRequest)];
    std::memcpy(requestBefore, &request, sizeof request);
    uint8_t paramsBefore[64];
    if (params.base != nullptr) std::memcpy(paramsBefore, params.data(), paramsSize);
    uint8_t recordBefore[sizeof(GateRecord)];
    uint8_t cellBefore[80];
    char nameBefore[400];
    if (gateRequest) {
        std::memcpy(recordBefore, gate.record.data(), sizeof recordBefore);
        std::memcpy(cellBefore, gate.cell.data(), gate.cell.size);
        std::strcpy(nameBefore, reinterpret_cast<const char*>(gate.name.data()));
    }

    messageCheck = MessageCheck{};
    messageCheck.gateName = gateRequest ? nameBefore : nullptr;
    SimClearLog();
    const unsigned portsBefore = OpenPorts();

    TRACE("request %d: channel name \"%.12s\" handle %p; ", code, channel.portName, channel.portHandle);
    if (gateRequest) TRACE("gate \"%s\" type %d\n", nameBefore, static_cast<int>(recordBefore[12]));
    if (code == 15) TRACE("config name \"%.12s\"\n", reinterpret_cast<const char*>(paramsBefore));
    if (!gateRequest && code != 15) TRACE("\n");
    const int32_t result = QorMain(&request);
    TRACE("  result %d, handle %p\n", result, channel.portHandle);

    CheckResult(code, result);
    EXPECT(Same(&request, requestBefore, sizeof request), "request block changed", code);
    if (!gateRequest || code == 0) EXPECT(messageCheck.messages == 0, "message from a request that reports nothing", code);
    if (code == 7 || code == 3) EXPECT(messageCheck.messages <= 1, "more than one message", messageCheck.messages);
    if (code == 5) EXPECT(messageCheck.messages <= 3, "more than three messages", messageCheck.messages);
    CheckQuotedStatuses();
    if (!gateRequest && !IsHandler(code)) EXPECT(SimCallCount() == 0, "library called by an unserved code", code);

    // The channel record: only the fields the request owns change.
    const bool channelRequest = code == 12 || code == 13 || code == 15;
    if (code != 1 && !channelRequest) EXPECT(Same(&channel, &channelBefore, sizeof channel), "channel record changed", code);
    if (code == 1) {
        EXPECT(Same(&channel.portHandle, &channelBefore.portHandle, 4) &&
                   Same(channel.portName, channelBefore.portName, sizeof channel.portName + 8 + 2),
               "request 1 wrote a field not its own", 0);
    }
    if (channelRequest) {
        EXPECT(channel.portOptions == channelBefore.portOptions, "portOptions written", code);
        if (code != 15) {
            EXPECT(channel.timeout == channelBefore.timeout && Same(channel.portName, channelBefore.portName, 20),
                   "request 12/13 wrote the name, settings or time-out", code);
        }
        if (code == 12) {
            EXPECT(channel.active == channelBefore.active, "request 12 changed active", 0);
            if (result == 0) EXPECT(channel.portHandle == nullptr, "closed channel keeps its handle", 0);
            if (result == 2) EXPECT(channel.portHandle == channelBefore.portHandle, "refused close lost the handle", 0);
        }
        if (code == 13 && result == 2) EXPECT(Same(&channel, &channelBefore, sizeof channel), "failed open changed the record", 0);
        const ChannelConfig& config = *reinterpret_cast<const ChannelConfig*>(paramsBefore);
        const bool nameTerminated = std::memchr(config.portName, '\0', sizeof config.portName) != nullptr;
        if (code == 15 && !nameTerminated) {
            EXPECT(result == 2 && Same(&channel, &channelBefore, sizeof channel),
                   "a port name without its NUL was taken", 0);
        } else if (code == 15) {
            if (config.timeout != 0) EXPECT(channel.timeout == config.timeout, "request 15 time-out not stored", config.timeout);
            if (config.timeout == 0) EXPECT(channel.timeout == channelBefore.timeout, "time-out 0 changed the stored one", 0);
            if (config.portSettings.baudRate == 0)
                EXPECT(Same(&channel.portSettings, &channelBefore.portSettings, 8), "baudRate 0 changed the settings", 0);
            else
                EXPECT(Same(&channel.portSettings, &config.portSettings, 8), "settings not stored", 0);
            EXPECT(std::memchr(channel.portName, '\0', sizeof channel.portName) != nullptr,
                   "stored port name without its NUL", 0);
        }
        if ((code == 13 || code == 15) && result == 0) {
            EXPECT(channel.active == 1 && channel.portHandle != nullptr && PortOf(channel.portHandle) != nullptr,
                   "open channel without an open handle", 0);
        }
        // A device opened during the request is the channel's now, or was closed again (a close
        // the platform refuses leaves it open, and nothing more can be done about it).
        const unsigned openedNow = OpenPorts() & ~portsBefore;
        for (int slot = 0; slot < kMaxPorts; ++slot) {
            if (openedNow >> slot & 1) {
                EXPECT(channel.portHandle == HandleOf(slot) || comm.ports[slot].closeTried, "device left open", slot);
            }
        }
    } else {
        EXPECT(OpenPorts() == portsBefore, "a device opened or closed by a non-channel request", code);
    }

    if (gateRequest) {
        CheckGate(code, gate, recordBefore, cellBefore, nameBefore);
        Release(gate.record);
        Release(gate.name);
        Release(gate.cell);
    } else {
        if (code == 14) {
            const DriverInfo& info = *reinterpret_cast<const DriverInfo*>(params.data());
            EXPECT(Same(info.hostOwned, paramsBefore + 20, 8), "identification wrote the host's bytes", 0);
            EXPECT(std::strcmp(info.vendor, "Tarnovelquist") == 0 && std::strlen(info.banner) == 385,
                   "identification texts", 0);
        } else {
            EXPECT(Same(params.data(), paramsBefore, paramsSize), "parameter record changed", code);
        }
        Release(params);
    }
    Release(requestBlock);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    commOperations = &fakeComm;
    tracing = std::getenv("QORBVN_FUZZ_TRACE") != nullptr;
    HostRtSetSink(CheckMessage, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    DefineWorld(input);
    Block channel = Allocate(sizeof(ChannelState));
    input.Bytes(channel.data(), sizeof(ChannelState));
    const int requests = 1 + input.Byte() % 8;
    for (int i = 0; i < requests; ++i) RunRequest(input, channel);
    CheckGuards(channel, "guard bytes of the channel record changed");
    Release(channel);
    return 0;
}
