// How much CPU a link costs while its watchers wait: the reset watcher of a link
// that is down and the response watcher of a running program, each for a few
// seconds of wall time against the virtual board. Prints the CPU share.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "zorkit/link/ZORComm.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/serial/PortTable.h"
#include "sim/VirtualBoard.h"

namespace {

double CpuShareWhile(std::chrono::seconds span)
{
    std::clock_t cpuStart = std::clock();
    auto wallStart = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(span);
    double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    return cpu / wall * 100.0;
}

}

int main()
{
    zorkit::SetMessageBoxEcho(false);
    auto logDir = std::filesystem::temp_directory_path() / "zorkit-bench-idle";
    std::filesystem::create_directories(logDir);
    CCommPort::SetLogDirectory(logDir.string());
    zorkit::sim::CVirtualBoard board;
    auto timings = board.GetTimings();
    timings.stopDelay = std::chrono::hours(1);
    board.SetTimings(timings);
    if (!board.Start()) {
        std::fprintf(stderr, "cannot start the virtual board: %s\n", board.LastError().c_str());
        return 1;
    }
    zorkit::SetSerialPortPath(0, board.SlavePath());
    CZORComm link(CZORComm::CPU_8051, 0, 0);
    if (!link.CheckConnect()) {
        std::fprintf(stderr, "the virtual board did not answer\n");
        return 1;
    }
    const auto span = std::chrono::seconds(3);

    link.StepDebug();
    std::printf("response watcher waiting: %.3f%% of one core over %lld s\n", CpuShareWhile(span),
                static_cast<long long>(span.count()));
    link.SetZORRunning(0);

    board.InjectFault(zorkit::sim::Fault::DropAck);
    link.TraceDebug();
    std::printf("reset watcher waiting:    %.3f%% of one core over %lld s\n", CpuShareWhile(span),
                static_cast<long long>(span.count()));
    std::printf("(the process also runs the virtual board's thread, which waits in poll() too)\n");
    std::filesystem::remove_all(logDir);
    return 0;
}
