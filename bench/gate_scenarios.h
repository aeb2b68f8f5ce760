#pragma once

#include <cstdint>

// The gate-path requests measured by the bench, each with its floor: the bare data-exchange
// calls that the request must make, against the same simulated library. The host's records
// live in the scenario; Prepare() defines and activates the tags it needs.
struct GateScenario {
    const char* name;
    void (*prepare)();
    int32_t (*request)();  // QorMain, as the host calls it
    int32_t (*floor)();    // null when the request needs no library call
};

extern const GateScenario kGateScenarios[];
extern const int kGateScenarioCount;

// Messages would only measure the host's output: the bench's sink drops them.
void QuietHost();
