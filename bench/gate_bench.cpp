// Gate path: each request through QorMain of the built driver library, and beside it its
// floor, the bare data-exchange calls it must make, against the same simulated library.
// Every request must succeed: a failing one would measure the message path instead.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/gate_scenarios.h"

namespace {

void Check(const GateScenario& scenario, int32_t (*call)(), int32_t expected, benchmark::State& state) {
    scenario.prepare();
    if (call() != expected) state.SkipWithError("the request did not succeed");
}

void Driver(benchmark::State& state, const GateScenario* scenario) {
    Check(*scenario, scenario->request, 0, state);
    for (auto _ : state) benchmark::DoNotOptimize(scenario->request());
}

void Floor(benchmark::State& state, const GateScenario* scenario) {
    Check(*scenario, scenario->floor, 0, state);
    for (auto _ : state) benchmark::DoNotOptimize(scenario->floor());
}

}  // namespace

int main(int argc, char** argv) {
    QuietHost();
    for (int i = 0; i < kGateScenarioCount; ++i) {
        const GateScenario* scenario = &kGateScenarios[i];
        benchmark::RegisterBenchmark((std::string("driver/") + scenario->name).c_str(), Driver, scenario);
        if (scenario->floor != nullptr) {
            benchmark::RegisterBenchmark((std::string("floor/") + scenario->name).c_str(), Floor, scenario);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
