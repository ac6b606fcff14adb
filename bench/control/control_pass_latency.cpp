// Per-pass overhead of the control loop: the time from the board's sample byte to
// the host's answer byte, both stamped by the virtual board, over 1000 passes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "zorkit/link/ZORComm.h"
#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/serial/PortTable.h"
#include "sim/VirtualBoard.h"

namespace {
constexpr int kPort = 60;
constexpr int kPasses = 1000;
constexpr DWORD kPatienceMs = 60000;
}

int main()
{
    using namespace zorkit;
    sim::CVirtualBoard board;
    if (!board.Start()) {
        std::fprintf(stderr, "zorkit_control_bench: virtual board: %s\n", board.LastError().c_str());
        return 1;
    }
    std::filesystem::path logs = std::filesystem::temp_directory_path() / "zorkit-control-bench";
    std::filesystem::create_directories(logs);
    CCommPort::SetLogDirectory(logs.string());
    SetSerialPortPath(kPort, board.SlavePath());
    CZORComm link(CZORComm::CPU_8051, kPort, 0);
    if (!link.IsActive()) {
        std::fprintf(stderr, "zorkit_control_bench: cannot open %s\n", board.SlavePath().c_str());
        return 1;
    }
    std::size_t reported = 0;
    CHostWindow host([&](UINT message, WPARAM, LPARAM) {
        reported += message == WM_CTRL_SAMPLE;
        return LRESULT(0);
    });
    link.SetAckWnd(host.GetSafeHwnd());

    sim::CExperimentSettings settings;
    settings.plant = sim::PlantKind::Heater;
    settings.samplePeriod = std::chrono::milliseconds(1);
    board.StartExperiment(settings);
    link.SetTargetTemp(60);
    link.SetKpKiKd(10.0f, 0.0f, 20.0f);
    link.SetPeriod(0);
    link.SetSampleNums(kPasses);
    link.SetControl(CTRL_TEMP, nullptr);
    bool ended = PumpMessagesUntil([&] { return reported == kPasses && !link.IsCtrlRunning(); }, kPatienceMs);
    if (!ended || !board.WireLog().WaitReceived(kPasses, std::chrono::milliseconds(kPatienceMs))) {
        std::fprintf(stderr, "zorkit_control_bench: the loop did not finish %d passes\n", kPasses);
        return 1;
    }

    // Each answer is paired with the sample sent just before it.
    std::vector<double> micros;
    std::chrono::steady_clock::time_point lastSample{};
    bool pending = false;
    for (const sim::CWireByte& entry : board.WireLog().Entries()) {
        if (entry.direction == sim::WireDirection::Sent) {
            lastSample = entry.time;
            pending = true;
        } else if (pending) {
            micros.push_back(std::chrono::duration<double, std::micro>(entry.time - lastSample).count());
            pending = false;
        }
    }
    std::sort(micros.begin(), micros.end());
    auto at = [&](double q) { return micros[std::min(micros.size() - 1, std::size_t(q * double(micros.size())))]; };
    std::printf("control loop, board byte to answer byte over %zu passes: median %.1f us, 99th percentile %.1f us, max %.1f us\n",
                micros.size(), at(0.5), at(0.99), micros.back());
    return 0;
}
