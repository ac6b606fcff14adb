// The virtual board's speed: answers over the pseudo-terminal, the monitor's own
// frame handling, and what the board costs while the line is idle.
#include <benchmark/benchmark.h>

#include <ctime>
#include <thread>

#include "sim/BoardProtocol.h"
#include "sim/Monitor.h"
#include "sim/VirtualBoard.h"
#include "tests/sim/HostLine.h"

namespace {

using namespace zorkit::sim;
using namespace zorkit::sim::test;

// One frame out, its answer back, over the real line: the latency a host sees.
void BM_FrameRoundTrip(benchmark::State& state)
{
    CVirtualBoard board;
    board.Start();
    CHostLine host(board.SlavePath());
    std::vector<BYTE> frame = Frame(CMD_CLEAR_ALL_BREAK);
    for (auto _ : state) {
        host.Send(frame);
        if (host.Receive(1).size() != 1)
            state.SkipWithError("no answer");
    }
}
BENCHMARK(BM_FrameRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The largest upload: frame, 0xAA and 255 data bytes with checksum, the host's 0xAA.
void BM_Upload255(benchmark::State& state)
{
    CVirtualBoard board;
    board.Start();
    CHostLine host(board.SlavePath());
    std::vector<BYTE> frame = Frame(CMD_EXMEM_ULD, {0x00, 0x80, 255});
    for (auto _ : state) {
        host.Send(frame);
        if (host.Receive(1 + 256).size() != 257)
            state.SkipWithError("short upload");
        host.Send({kAck});
    }
    state.SetBytesProcessed(state.iterations() * 255);
}
BENCHMARK(BM_Upload255)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The largest download frame, 250 data bytes, handled by the monitor without I/O.
void BM_MonitorDownloadFrame(benchmark::State& state)
{
    CMonitor monitor;
    std::vector<BYTE> parameters{0x00, 0x40, 250};
    parameters.resize(253, 0x5A);
    std::vector<BYTE> frame = Frame(CMD_EXMEM_DLD, parameters);
    std::vector<BYTE> out;
    auto now = CMonitor::Clock::now();
    for (auto _ : state) {
        out.clear();
        for (BYTE b : frame)
            monitor.Receive(b, now, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(frame.size()));
}
BENCHMARK(BM_MonitorDownloadFrame);

// Process CPU time spent per second of wall time while a host is connected and silent.
void BM_IdleBoardCpu(benchmark::State& state)
{
    CVirtualBoard board;
    board.Start();
    CHostLine host(board.SlavePath());
    for (auto _ : state) {
        std::clock_t before = std::clock();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        state.counters["cpu_ms_per_s"] = double(std::clock() - before) * 1000.0 / CLOCKS_PER_SEC;
    }
}
BENCHMARK(BM_IdleBoardCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

// What one board holds: its three memory spaces, register image and a full wire log.
void BM_BoardFootprint(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(sizeof(CVirtualBoard));
    state.counters["object_bytes"] = double(sizeof(CVirtualBoard));
    state.counters["memory_spaces_bytes"] = double(0x10000 + 0x10000 + 0x100 + 30);
    state.counters["full_wire_log_bytes"] = double(sizeof(CWireByte) * (std::size_t(1) << 16));
}
BENCHMARK(BM_BoardFootprint)->Iterations(1);

}

BENCHMARK_MAIN();
