#include "bench/gate_scenarios.h"

#include <cstdio>
#include <cstdlib>

#include "dataexchange/tembrix3.h"
#include "driver/driver_request.h"
#include "gates/gate_record.h"
#include "standins/hostrt/hostrt.h"
#include "standins/tembrix3/tembrix3_control.h"

namespace {

ChannelState channel;
DriverInfo info;
ChannelActivation activation;
ValueCell cell;
GateRecord gate;
DriverRequest request;

void Define(const char* name, SimTagType type, int32_t elements) {
    if (SimDefineTag(name, type, 0, elements) != 0 || SimSetTagActive(name, 1) != 0) {
        std::fprintf(stderr, "bench: cannot define tag %s\n", name);
        std::exit(1);
    }
}

void World() {
    SimReset();
    Define("TANKL", SimTagLong, 0);
    Define("TANKB", SimTagByte, 0);
    Define("ARRD", SimTagDouble, 8);
    Define("ARRL", SimTagLong, 8);
}

void GateRequest(int32_t code, const char* name, int32_t type) {
    World();
    gate = GateRecord{};
    gate.name = name;
    gate.type = type;
    gate.value = &cell;
    cell.value32 = 0x01020304;
    request.channel = &channel;
    request.code = code;
    request.params = &gate;
}

int32_t Request() { return QorMain(&request); }

void PrepareIdentify() {
    request.channel = &channel;
    request.code = 14;
    request.params = &info;
}
void PrepareSetActive() {
    activation.active = 1;
    activation.timeout = 50;
    request.channel = &channel;
    request.code = 1;
    request.params = &activation;
}
void PrepareActivate() { GateRequest(3, "TANKL", GateLong); }
void PrepareReadLong() { GateRequest(5, "TANKL", GateLong); }
void PrepareReadArrayDouble() { GateRequest(5, "ARRD[3]", GateReal); }
void PrepareWriteWordRetry() {
    GateRequest(7, "TANKB", GateWord);
    cell.value16 = 300;
}
void PrepareWriteArrayLong() { GateRequest(7, "ARRL[3]", GateLong); }

// The floors: exactly the library calls of the request, with nothing around them.
int32_t FloorActivate() { return ActivateTag("TANKL"); }
int32_t FloorReadLong() {
    int32_t value;
    return ScanActiveTags() | ReadTagLong("TANKL", &value);
}
int32_t FloorReadArrayDouble() {
    double value;
    return ScanActiveTags() | ReadArrayDouble("ARRD", &value, 1, 3, 3);
}
int32_t FloorWriteWordRetry() {
    const int32_t status = WriteTagWord("TANKB", 300);
    return status == -2000 ? WriteTagByte("TANKB", 44) : status;
}
int32_t FloorWriteArrayLong() {
    int32_t value = 0x01020304;
    return WriteArrayLong("ARRL", &value, 1, 3, 3);
}

void Drop(void*, int, const char*, va_list) {}

}  // namespace

const GateScenario kGateScenarios[] = {
    {"identify", PrepareIdentify, Request, nullptr},
    {"set_active", PrepareSetActive, Request, nullptr},
    {"activate", PrepareActivate, Request, FloorActivate},
    {"read_plain_long", PrepareReadLong, Request, FloorReadLong},
    {"read_array_double", PrepareReadArrayDouble, Request, FloorReadArrayDouble},
    {"write_plain_word_byte_retry", PrepareWriteWordRetry, Request, FloorWriteWordRetry},
    {"write_array_long", PrepareWriteArrayLong, Request, FloorWriteArrayLong},
};
const int kGateScenarioCount = sizeof kGateScenarios / sizeof kGateScenarios[0];

void QuietHost() { HostRtSetSink(Drop, nullptr); }
