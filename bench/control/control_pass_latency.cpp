// Per-pass overhead of the control loop: the time from the board's sample byte to
// the host's answer byte, both stamped by the virtual board, over 1000 passes; and
// the rate of a 2 KB program download. Each over the board's pseudo-terminal and
// over ser2net on the loopback address (RFC 2217 and raw) in front of it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "zorkit/link/ZORComm.h"
#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/serial/PortTable.h"
#include "sim/VirtualBoard.h"
#include "tests/support/PortServer.h"

namespace {
constexpr int kPort = 60;
constexpr int kPasses = 1000;
constexpr DWORD kPatienceMs = 60000;
constexpr std::size_t kDownloadBytes = 2048;

bool MeasureControlPass(zorkit::sim::CVirtualBoard& board, CZORComm& link, const char* line)
{
    using namespace zorkit;
    std::size_t reported = 0;
    CHostWindow host([&](UINT message, WPARAM, LPARAM) {
        reported += message == WM_CTRL_SAMPLE;
        return LRESULT(0);
    });
    link.SetAckWnd(host.GetSafeHwnd());
    board.WireLog().Clear();
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
        std::fprintf(stderr, "zorkit_control_bench: the loop did not finish %d passes over %s\n", kPasses, line);
        return false;
    }
    board.StopExperiment();
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
    std::printf("%-22s control pass, board byte to answer byte over %zu passes: median %.1f us, 99th percentile %.1f us, max %.1f us\n",
                line, micros.size(), at(0.5), at(0.99), micros.back());
    return true;
}

bool MeasureDownload(CZORComm& link, const char* line)
{
    // One run of code bytes at 0000, as ProgDld takes it: count and address, low byte first.
    std::vector<BYTE> image = {BYTE(kDownloadBytes), BYTE(kDownloadBytes >> 8), 0, 0};
    for (std::size_t i = 0; i < kDownloadBytes; ++i)
        image.push_back(BYTE(i * 7));
    const auto start = std::chrono::steady_clock::now();
    if (!link.ProgDld(image.data(), DWORD(image.size()))) {
        std::fprintf(stderr, "zorkit_control_bench: the download over %s failed\n", line);
        return false;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-22s download of %zu bytes: %.2f s, %.0f bytes/s\n", line, kDownloadBytes, seconds,
                double(kDownloadBytes) / seconds);
    return true;
}

bool MeasureLine(zorkit::sim::CVirtualBoard& board, const std::string& device, const char* line)
{
    zorkit::SetSerialPortPath(kPort, device);
    CZORComm link(CZORComm::CPU_8051, kPort, 0);
    if (!link.IsActive() || !link.CheckConnect()) {
        std::fprintf(stderr, "zorkit_control_bench: no board on %s\n", device.c_str());
        return false;
    }
    return MeasureDownload(link, line) && MeasureControlPass(board, link, line);
}

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
    if (!MeasureLine(board, board.SlavePath(), "pseudo-terminal"))
        return 1;
    TempDir scratch;
    for (auto [kind, line] : {std::pair{CPortServer::Kind::Ser2netTelnet, "ser2net rfc2217://"},
                              std::pair{CPortServer::Kind::Ser2netRaw, "ser2net tcp://"}}) {
        CPortServer server(kind, board.SlavePath(), scratch);
        if (!server.Start()) {
            std::fprintf(stderr, "zorkit_control_bench: %s\n", server.Error().c_str());
            return 1;
        }
        if (!MeasureLine(board, server.DeviceName(), line))
            return 1;
    }
    return 0;
}
