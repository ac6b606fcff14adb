// The core's speed with the built-in board's devices attached and nobody watching:
// the mixed program, and a tight loop toggling the LEDs' port (CPL P1.0; SJMP back).
#include <benchmark/benchmark.h>

#include "sim/devices/CoreDevices.h"
#include "tests/sim/CoreRig.h"

namespace {

using namespace zorkit::sim;

void Measure(benchmark::State& state, test::CCoreRig& rig, bool attached, std::uint64_t cycles)
{
    std::optional<CCoreDevices> devices;
    if (attached)
        devices.emplace(rig.core, DefaultBoardProfile());
    CStopMap none;
    std::uint64_t instructions = 0;
    for (auto _ : state) {
        rig.core.Reset();
        std::uint64_t before = rig.core.Instructions();
        rig.core.Run(cycles, none, false);
        instructions += rig.core.Instructions() - before;
    }
    state.counters["instr_per_s"] = benchmark::Counter(double(instructions), benchmark::Counter::kIsRate);
}

void BM_MixedProgram(benchmark::State& state)
{
    test::CCoreRig rig;
    std::string error;
    if (!rig.Load(std::string(ZORKIT_BENCH_DIR) + "/mixed.hex", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    // The program ends on A5 long before this budget.
    Measure(state, rig, state.range(0) != 0, ~std::uint64_t(0) >> 1);
}
BENCHMARK(BM_MixedProgram)->Arg(0)->Arg(1)->ArgName("devices")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PortToggleLoop(benchmark::State& state)
{
    test::CCoreRig rig;
    rig.Program({0xB2, 0x90, 0x80, 0xFC}, 0); // CPL P1.0; SJMP 0000
    Measure(state, rig, state.range(0) != 0, 30000000);
}
BENCHMARK(BM_PortToggleLoop)->Arg(0)->Arg(1)->ArgName("devices")->Unit(benchmark::kMillisecond)->UseRealTime();

}

BENCHMARK_MAIN();
