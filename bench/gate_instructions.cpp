// Runs one gate scenario a fixed number of times with callgrind collecting only around the
// loop, for instruction counts: bench/callgrind_split.py divides them by object.
// Usage: qorbvn_gate_instructions SCENARIO driver|floor ITERATIONS
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/gate_scenarios.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SCENARIO driver|floor ITERATIONS\n", argv[0]);
        return 2;
    }
    QuietHost();
    for (int i = 0; i < kGateScenarioCount; ++i) {
        const GateScenario& scenario = kGateScenarios[i];
        if (std::strcmp(scenario.name, argv[1]) != 0) continue;
        int32_t (*call)() = std::strcmp(argv[2], "floor") == 0 ? scenario.floor : scenario.request;
        if (call == nullptr) return 0;
        const long iterations = std::atol(argv[3]);
        scenario.prepare();
        // Warm up, so lazy binding and first-touch costs stay outside the count.
        for (int warm = 0; warm < 100; ++warm) call();
        int32_t failures = 0;
        CALLGRIND_ZERO_STATS;
        CALLGRIND_TOGGLE_COLLECT;
        for (long n = 0; n < iterations; ++n) failures |= call();
        CALLGRIND_TOGGLE_COLLECT;
        return failures == 0 ? 0 : 1;
    }
    std::fprintf(stderr, "no scenario %s\n", argv[1]);
    return 2;
}
