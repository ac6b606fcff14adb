// The 8051 core's speed on a mixed program (bench/sim/mixed.asm: table copies with
// MOVC, a bubble sort in internal RAM, MOVX, MUL and DIV): the core alone, and the
// monitor running it at --speed max, in slices between looks at the line; and what
// a paced free run costs.
// run-cpu-bench.sh runs this beside s51 on the same program.
#include <benchmark/benchmark.h>

#include <ctime>
#include <thread>

#include "sim/BoardProtocol.h"
#include "sim/Monitor.h"
#include "sim/VirtualBoard.h"
#include "tests/sim/CoreRig.h"
#include "tests/sim/HostLine.h"

namespace {

using namespace zorkit::sim;

const std::string kProgram = std::string(ZORKIT_BENCH_DIR) + "/mixed.hex";

void BM_CoreMixedProgram(benchmark::State& state)
{
    test::CCoreRig rig;
    std::string error;
    if (!rig.Load(kProgram, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    CStopMap none;
    std::uint64_t instructions = 0;
    for (auto _ : state) {
        rig.core.Reset();
        std::uint64_t before = rig.core.Instructions();
        // The program ends on A5, which the core does not execute.
        if (rig.core.Run(~std::uint64_t(0) >> 1, none, false) != C8051Core::Stop::Undefined)
            state.SkipWithError("the program did not reach A5");
        instructions += rig.core.Instructions() - before;
    }
    state.counters["instr_per_s"] = benchmark::Counter(double(instructions), benchmark::Counter::kIsRate);
    state.counters["instr"] = double(instructions) / double(state.iterations());
}
BENCHMARK(BM_CoreMixedProgram)->Unit(benchmark::kMillisecond)->UseRealTime();

// What `zorsim --speed max` does: the monitor's run, turn by turn as the board thread
// calls it, from CMD_PROG_EXEC to the stop report.
void BM_MonitorAtMaxSpeed(benchmark::State& state)
{
    std::string error;
    test::CCoreRig image;
    if (!image.Load(kProgram, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    CMonitor monitor;
    CMonitorTimings timings;
    timings.stopDelay = std::chrono::milliseconds(0);
    timings.machineCyclesPerSecond = 0;
    monitor.SetTimings(timings);
    monitor.Memory().Write(MemorySpace::Code, 0, image.code.data(), image.code.size());
    std::vector<BYTE> frame = test::Frame(CMD_PROG_EXEC, {0x00, 0x00});
    std::uint64_t instructions = 0;
    for (auto _ : state) {
        std::vector<BYTE> out;
        std::uint64_t before = monitor.Core().Instructions();
        for (BYTE b : frame)
            monitor.Receive(b, CMonitor::Clock::now(), out);
        while (monitor.Mode() == BoardMode::RunningFree)
            monitor.Tick(CMonitor::Clock::now(), out);
        instructions += monitor.Core().Instructions() - before;
    }
    state.counters["instr_per_s"] = benchmark::Counter(double(instructions), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MonitorAtMaxSpeed)->Unit(benchmark::kMillisecond)->UseRealTime();

// Process CPU time per second of wall time while the board runs a program free at a
// 12 MHz board's pace: the cost of pacing in slices.
void BM_PacedFreeRunCpu(benchmark::State& state)
{
    CVirtualBoard board;
    board.WriteMemory(MemorySpace::Code, 0x0100, {0x80, 0xFE}); // SJMP $
    board.Start();
    test::CHostLine host(board.SlavePath());
    host.Send(test::Frame(CMD_PROG_EXEC, {0x00, 0x01}));
    if (!board.WaitMode(BoardMode::RunningFree, std::chrono::seconds(5)))
        state.SkipWithError("the board did not start the program");
    for (auto _ : state) {
        std::clock_t before = std::clock();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        state.counters["cpu_ms_per_s"] = double(std::clock() - before) * 1000.0 / CLOCKS_PER_SEC;
    }
}
BENCHMARK(BM_PacedFreeRunCpu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}

BENCHMARK_MAIN();
