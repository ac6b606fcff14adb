// What the board panel costs the 8051 core at full speed: the 7-segment counter lab
// runs free on the virtual board (devices attached, --speed max) with no panel, a
// visible panel refreshed by its own timer on this thread's message loop, and a hidden
// one. instr_per_s is the core's speed, frames_per_s how often the visible panel read
// the devices.
//
// With Minstr:0 an iteration lasts two seconds of wall time. On a loaded machine the
// wall clock varies far more than the panel costs, so Minstr:N runs N million 8051
// instructions instead, for an instruction count of the board's thread that the load
// does not change:
//   valgrind --tool=callgrind --separate-threads=yes zorkit_boardpanel_bench --benchmark_filter=Minstr:20
// and compare the board thread's total per core_instructions across the three cases.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "sim/BoardProtocol.h"
#include "sim/VirtualBoard.h"
#include "tests/sim/HostLine.h"
#include "tools/boardpanel/BoardPanel.h"
#include "tools/common/IntelHex.h"
#include "zorkit/platform/ui/Input.h"

namespace {

using namespace zorkit::sim;

enum class Watching { Nobody, Visible, Hidden };

bool StartLab(CVirtualBoard& board, test::CHostLine& host, const std::string& name)
{
    CIntelHex hex;
    if (!hex.LoadFile(std::string(ZORKIT_LAB_PROGRAMS) + "/" + name + ".ihx"))
        return false;
    for (const CIntelHex::Run& run : hex.GetRuns()) {
        std::vector<BYTE> parameters{BYTE(run.address), BYTE(run.address >> 8), BYTE(run.bytes.size())};
        parameters.insert(parameters.end(), run.bytes.begin(), run.bytes.end());
        if (run.bytes.size() > 250 || !host.Send(test::Frame(CMD_PROG_DLD, parameters)) || host.Receive(1) != std::vector<BYTE>{kAck})
            return false;
    }
    return host.Send(test::Frame(CMD_PROG_EXEC, {0x00, 0x00})) && host.Receive(1) == std::vector<BYTE>{kAck};
}

std::uint64_t Instructions(CVirtualBoard& board)
{
    std::uint64_t n = 0;
    board.WithCore([&n](C8051Core& core) { n = core.Instructions(); });
    return n;
}

void BM_CoreSpeedWithPanel(benchmark::State& state)
{
    const auto watching = Watching(state.range(0));
    auto shared = std::make_shared<CVirtualBoard>();
    CVirtualBoard& board = *shared;
    CMonitorTimings timings;
    timings.machineCyclesPerSecond = 0;
    board.SetTimings(timings);
    board.AttachDevices(&DefaultBoardProfile());
    board.Start();
    test::CHostLine host(board.SlavePath());
    if (!StartLab(board, host, "seg7_counter")) {
        state.SkipWithError("cannot start the lab program");
        return;
    }
    boardpanel::CBoardPanel panel;
    if (watching != Watching::Nobody) {
        panel.CreateTopLevel("panel", CRect(0, 0, boardpanel::CPanelLayout::kWidth, boardpanel::CPanelLayout::kHeight));
        panel.ShowVirtualBoard(shared, DefaultBoardProfile());
        if (watching == Watching::Hidden)
            panel.ShowWindow(SW_HIDE);
    }
    std::uint64_t instructions = 0;
    std::uint64_t frames = 0;
    double seconds = 0;
    for (auto _ : state) {
        const std::uint64_t before = Instructions(board);
        const std::uint64_t readsBefore = panel.Reads();
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::seconds(2);
        const std::uint64_t work = std::uint64_t(state.range(1)) * 1000000;
        while (work ? Instructions(board) - before < work : std::chrono::steady_clock::now() < end) {
            zorkit::PumpPendingMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        instructions += Instructions(board) - before;
        frames += panel.Reads() - readsBefore;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["instr_per_s"] = double(instructions) / seconds;
    state.counters["frames_per_s"] = double(frames) / seconds;
    if (panel.m_hWnd)
        panel.DestroyWindow();
    panel.ShowMessage("");
    board.Stop();
    // Every instruction the board's thread ran for, set-up and slices past the goal too,
    // to divide callgrind's count of that thread by.
    state.counters["core_instructions"] = double(Instructions(board));
    board.AttachDevices(nullptr);
}
BENCHMARK(BM_CoreSpeedWithPanel)
    ->ArgsProduct({{int(Watching::Nobody), int(Watching::Visible), int(Watching::Hidden)}, {0, 20}})
    ->ArgNames({"panel", "Minstr"})
    ->Iterations(3)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}

BENCHMARK_MAIN();
