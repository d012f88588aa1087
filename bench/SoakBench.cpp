// How fast the soak runs: virtual hours of the whole bridge, with its random
// life, faults and invariant checker, per CPU second.
#include <benchmark/benchmark.h>

#include "simulator/harness/Soak.h"

namespace kovado::sim {
namespace {

void BM_SoakVirtualHour(benchmark::State& state) {
    std::uint64_t seed = 1;
    for (auto _ : state) {
        SoakLife life = GenerateSoakLife(seed++, 3600 * 1000, 60000);
        Scenario scenario;
        std::string error;
        if (!ParseScenario(life.text, "soak", scenario, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        SoakVerdict verdict = CheckScenario(scenario, 30000, 250, error);
        if (!verdict.ok) {
            state.SkipWithError(verdict.broken.c_str());
            return;
        }
    }
    // A rate is counted per CPU second unless the benchmark uses real time.
    state.counters["virtual_hours_per_cpu_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
// The bridge runs on threads of its own: CPU time is the whole process's.
BENCHMARK(BM_SoakVirtualHour)->Unit(benchmark::kSecond)->Iterations(3)->MeasureProcessCPUTime();

}  // namespace
}  // namespace kovado::sim
