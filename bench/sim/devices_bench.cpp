// The core's speed with the built-in board's devices attached and nobody watching:
// the mixed program, a tight loop toggling the LEDs' port (CPL P1.0; SJMP back), and
// loops that keep the devices on the bus busy as lab programs do.
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

// Three board seconds: long enough to pass many heater steps.
constexpr std::uint64_t kBusLoopCycles = 3000000;

// Starts a conversion on A/D channel 0, polls end of conversion on the parallel
// chip's PC7, reads the result and writes it to the D/A converter, again and again.
void BM_AdcPolling(benchmark::State& state)
{
    test::CCoreRig rig;
    rig.Program({
        0x90, 0xE0, 0x03, // MOV DPTR,#E003
        0x74, 0x98,       // MOV A,#98 (A in, C upper in, B and C lower out)
        0xF0,             // MOVX @DPTR,A
        0x90, 0xE5, 0x00, // loop: MOV DPTR,#E500
        0xF0,             // MOVX @DPTR,A (start channel 0)
        0x90, 0xE0, 0x02, // MOV DPTR,#E002
        0xE0,             // eoc: MOVX A,@DPTR
        0x30, 0xE7, 0xFC, // JNB ACC.7,eoc
        0x90, 0xE5, 0x00, // MOV DPTR,#E500
        0xE0,             // MOVX A,@DPTR
        0x90, 0xE6, 0x00, // MOV DPTR,#E600
        0xF0,             // MOVX @DPTR,A
        0x80, 0xEB,       // SJMP loop
    });
    Measure(state, rig, true, kBusLoopCycles);
}
BENCHMARK(BM_AdcPolling)->Unit(benchmark::kMillisecond)->UseRealTime();

// Polls the LCD's busy flag and gives it an entry-mode instruction whenever it is free.
void BM_LcdBusyPolling(benchmark::State& state)
{
    test::CCoreRig rig;
    rig.Program({
        0x90, 0xE4, 0x00, // MOV DPTR,#E400
        0xE0,             // busy: MOVX A,@DPTR
        0x20, 0xE7, 0xFC, // JB ACC.7,busy
        0x74, 0x06,       // MOV A,#06
        0xF0,             // MOVX @DPTR,A
        0x80, 0xF7,       // SJMP busy
    });
    Measure(state, rig, true, kBusLoopCycles);
}
BENCHMARK(BM_LcdBusyPolling)->Unit(benchmark::kMillisecond)->UseRealTime();

// Drives the keypad's rows low one at a time and reads the columns, round and round.
void BM_KeypadScan(benchmark::State& state)
{
    test::CCoreRig rig;
    rig.Program({
        0x90, 0xE3, 0x00, // MOV DPTR,#E300
        0x79, 0xFE,       // MOV R1,#FE
        0xE9,             // row: MOV A,R1
        0xF0,             // MOVX @DPTR,A
        0xE0,             // MOVX A,@DPTR
        0xE9,             // MOV A,R1
        0x23,             // RL A
        0xF9,             // MOV R1,A
        0x80, 0xF8,       // SJMP row
    });
    Measure(state, rig, true, kBusLoopCycles);
}
BENCHMARK(BM_KeypadScan)->Unit(benchmark::kMillisecond)->UseRealTime();

}

BENCHMARK_MAIN();
