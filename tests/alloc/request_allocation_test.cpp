// No request path allocates from the heap: every request kind, its failure paths included,
// runs between arming and disarming the allocation counter and must leave it at 0.
//
// The driver's code is linked in directly. Its calls of the data-exchange library bind to
// scripted stand-ins defined in this program, and its serial primitives call a scripted table
// of the communications operations: neither allocates, so any allocation counted is the
// driver's own (or the host's message function's, which here only counts calls).
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/driver_request.h"
#include "gates/gate_record.h"
#include "serial/channel_config.h"
#include "standins/hostrt/hostrt.h"
#include "tests/alloc/allocation_counter.h"
#include "tests/alloc/scripted_stand_ins.h"

namespace {

int messages = 0;
void CountMessage(void*, int, const char*, va_list) { ++messages; }

class RequestAllocation : public testing::Test {
protected:
    void SetUp() override {
        HostRtSetSink(CountMessage, nullptr);
        InstallScriptedComm();
    }
    void TearDown() override {
        RemoveScriptedComm();
        HostRtSetSink(nullptr, nullptr);
    }

    // The request under the counter: the allocations it made.
    static size_t Allocations(DriverRequest& request, int32_t* result = nullptr) {
        ArmAllocationCounter();
        const int32_t answer = QorMain(&request);
        const size_t counted = DisarmAllocationCounter();
        if (result != nullptr) *result = answer;
        return counted;
    }
};

TEST_F(RequestAllocation, CounterSeesTheAllocator) {
    ArmAllocationCounter();
    void* volatile block = std::malloc(16);
    std::free(block);
    int* volatile number = new int(3);
    delete number;
    EXPECT_GE(DisarmAllocationCounter(), 4u);
}

TEST_F(RequestAllocation, EveryCodeWithFixedOrNoRecords) {
    const int32_t codes[] = {0, 1, 2, 4, 6, 8, 9, 10, 11, 14, 16, -1, INT_MIN, INT_MAX};
    for (int32_t code : codes) {
        ChannelState channel{};
        uint8_t params[64] = {};
        params[12] = 1;  // request 1: active set, so the time-out is taken too
        DriverRequest request{};
        request.channel = &channel;
        request.code = code;
        request.params = params;
        EXPECT_EQ(Allocations(request), 0u) << "code " << code;
    }
}

// The same pair of answers from every library function: success, a word met by a byte tag
// (retried), a lost tag (recovered), a missing data directory, and a plain failure.
struct Answers {
    int32_t first;
    int32_t second;
    bool scanFails;
};
const Answers kAnswers[] = {
    {0, 0, false},         {-2000, 0, false}, {-2000, -1, false}, {-2005, -1, false},
    {-2007, 0, false},     {-2009, 0, false}, {-42, -42, false},  {0, 0, true},
    {-2005, -2005, true},
};

const char* const kNames[] = {
    "TANK", "TANK[3]", "TANK[-1]", "TANK[x]", "TANK[3", "TANK[9999]", "[5]",
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345678",          // 35 characters
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789",         // 36
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789[1]",
};

TEST_F(RequestAllocation, GateRequestsOnEveryPath) {
    const std::string longName(300, 'L');
    int32_t libraryCalls = 0;
    for (const Answers& answers : kAnswers) {
        for (int32_t type = -1; type <= 8; ++type) {
            for (int32_t code : {3, 5, 7}) {
                for (size_t n = 0; n <= sizeof kNames / sizeof kNames[0]; ++n) {
                    const char* name = n < sizeof kNames / sizeof kNames[0] ? kNames[n] : longName.c_str();
                    ResetLibraryScript();
                    for (int32_t ordinal = 4; ordinal <= 40; ++ordinal) {
                        ScriptLibrary(ordinal, answers.first, answers.second);
                    }
                    ScriptLibrary(6, answers.scanFails ? -7 : 0);
                    ValueCell cell;
                    std::memset(&cell, 0, sizeof cell);
                    std::strcpy(cell.text, "value");
                    GateRecord gate{};
                    gate.name = name;
                    gate.type = type;
                    gate.value = &cell;
                    DriverRequest request{};
                    request.code = code;
                    request.params = &gate;
                    messages = 0;
                    EXPECT_EQ(Allocations(request), 0u)
                        << "code " << code << " type " << type << " name " << name << " answers "
                        << answers.first << "/" << answers.second;
                    libraryCalls += LibraryCalls();
                }
            }
        }
    }
    EXPECT_GT(libraryCalls, 1000) << "the driver's calls did not reach the scripted library";
}

TEST_F(RequestAllocation, ChannelRequestsWithEveryOperationFailing) {
    int commCalls = 0;
    const char* const portNames[] = {"ttyS0", "NUL", "ABCDEFGHIJKL" /* 12 bytes, no NUL */};
    for (int operation = -1; operation < 7; ++operation) {
        for (int nth : {1, 2}) {
            for (const char* portName : portNames) {
                for (uintptr_t handle : {uintptr_t{0}, uintptr_t{0x200}}) {
                    ResetCommScript();
                    if (operation >= 0) FailComm(operation, nth);
                    ChannelState channel{};
                    channel.portHandle = reinterpret_cast<PortHandle>(handle);
                    std::memcpy(channel.portName, "ttyS9", 6);
                    channel.portSettings = PortSettings{9600, 8, 0, 0};
                    channel.portOptions = 0x1003;
                    ChannelConfig config{};
                    std::memcpy(config.portName, portName, std::min<size_t>(std::strlen(portName) + 1, 12));
                    config.timeout = 5;
                    config.portSettings = PortSettings{19200, 8, 1, 2};
                    DriverRequest request{};
                    request.channel = &channel;
                    for (int32_t code : {15, 13, 12, 12, 13, 15}) {
                        request.code = code;
                        request.params = &config;
                        EXPECT_EQ(Allocations(request), 0u)
                            << "code " << code << " failing " << operation << "#" << nth << " name " << portName;
                    }
                    commCalls += CommCalls();
                }
            }
        }
    }
    EXPECT_GT(commCalls, 500) << "the driver's calls did not reach the scripted operations";
}

}  // namespace
