// A long run of the link against the virtual board, for what only long runs show:
//   1. a temperature experiment of SAMPLES samples at period 0, with a fault on the
//      line every few thousand samples (a late sample, or a moment of silence in
//      which the board may lose the host's answer); every sample must be accounted
//      for: answered by the host, or lost to one of the faults;
//   2. CYCLES links constructed on the board's line and destroyed again, each with a
//      reset watcher waiting, every hundredth also testing the connection.
// Memory, file descriptors and threads are reported at start and end; the run fails
// (exit 1, with the reason) when a sample went missing, when descriptors or threads
// grew, or when the resident memory grew by more than kRssToleranceKb (8 MB, 16 MB
// under the address sanitizer; the heap's free memory is given back to the system
// before each measurement, which is taken after a first tenth of each part).
//   zorkit_link_soak_bench [--inject FAULT] [SAMPLES [CYCLES]]   (default 1000000 10000)
// --inject makes the run commit one of the faults it must catch, so that tests can
// see each check fail: lose-sample (one sample is not counted), leak-descriptor (a
// descriptor opened per thousand samples stays open), hold-memory (1 KB per sample
// is kept, as a queue that is never emptied would).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include "zorkit/link/ZORComm.h"
#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/serial/PortTable.h"
#include "sim/VirtualBoard.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kPort = 0;
constexpr long kFaultEvery = 3000;
#if defined(__SANITIZE_ADDRESS__)
#define SOAK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_UNDER_ASAN 1
#endif
#endif

// What the resident memory may grow by from start to end: the allocator's and the
// libraries' own bookkeeping, not anything that grows with the samples or cycles.
// The address sanitizer keeps more of its own (each ended thread's record, its
// allocator's caches): 4 to 7 MB in a short run, against under 1 MB without it.
#ifdef SOAK_UNDER_ASAN
constexpr long kRssToleranceKb = 16 * 1024;
#else
constexpr long kRssToleranceKb = 8 * 1024;
#endif

// Under the address sanitizer, freed memory waits in a quarantine of up to 256 MB
// before it is used again: that is growth by design, and would hide any other. The
// soak keeps it small; use after free is the other tests' business.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=1"; }

enum class Injected { None, LoseSample, LeakDescriptor, HoldMemory };
Injected g_injected = Injected::None;
// What the hold-memory fault keeps, and the leak-descriptor fault's descriptors.
std::vector<std::unique_ptr<char[]>> g_held;
std::vector<int> g_leaked;

struct ProcessFigures {
    long rssKb = 0;
    long descriptors = 0;
    long threads = 0;
};

long StatusField(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, name.size() + 1, name + ":") == 0)
            return std::atol(line.c_str() + name.size() + 1);
    return -1;
}

ProcessFigures Measure()
{
    // Free heap memory kept by the allocator is not growth.
    ::malloc_trim(0);
    ProcessFigures figures;
    figures.rssKb = StatusField("VmRSS");
    figures.threads = StatusField("Threads");
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++figures.descriptors;
    return figures;
}

void Print(const char* when, const ProcessFigures& figures)
{
    std::printf("%-28s RSS %6ld KB, %3ld descriptors, %2ld threads\n", when, figures.rssKb, figures.descriptors, figures.threads);
}

// Waits, pumping messages, until `done`; false after `timeout`.
template <class Done>
bool PumpUntil(Done done, std::chrono::milliseconds timeout)
{
    return zorkit::PumpMessagesUntil(done, DWORD(timeout.count()));
}

bool RunSamples(zorkit::sim::CVirtualBoard& board, long samples)
{
    CZORComm link(CZORComm::CPU_8051, kPort, 0);
    long handled = 0;
    long faults = 0;
    bool silenced = false;
    Clock::time_point speakAgain;
    zorkit::CHostWindow host([&](UINT message, WPARAM, LPARAM) {
        if (message != WM_CTRL_SAMPLE)
            return LRESULT(0);
        if (g_injected == Injected::LoseSample && handled == 10) {
            g_injected = Injected::None;
            return LRESULT(0);
        }
        if (g_injected == Injected::HoldMemory) {
            g_held.emplace_back(new char[1024]);
            std::memset(g_held.back().get(), 0x5A, 1024);
        }
        if (g_injected == Injected::LeakDescriptor && handled % 1000 == 0)
            g_leaked.push_back(::open("/dev/null", O_RDONLY | O_CLOEXEC));
        if (++handled % kFaultEvery == 0) {
            ++faults;
            if (faults % 2 == 0) {
                board.DelayNextAnswer(2ms);
            } else {
                board.SetSilent(true);
                silenced = true;
                speakAgain = Clock::now() + 2ms;
            }
        }
        return LRESULT(0);
    });
    link.SetAckWnd(host.GetSafeHwnd());

    zorkit::sim::CExperimentSettings settings;
    settings.samplePeriod = 0ms;
    // A lost answer costs the board this long before it sends the next sample.
    settings.answerWindow = 5ms;
    board.StartExperiment(settings);
    link.SetTargetTemp(60);
    link.SetKpKiKd(10.0f, 0.0f, 20.0f);
    link.SetPeriod(0);
    link.SetSampleNums(int(samples));
    auto start = Clock::now();
    link.SetControl(CTRL_TEMP, nullptr);
    bool ended = false;
    while (!ended) {
        bool quietOver = PumpUntil([&] { return !link.IsCtrlThreadRunning() || (silenced && Clock::now() >= speakAgain); }, 60s);
        if (silenced && Clock::now() >= speakAgain) {
            board.SetSilent(false);
            silenced = false;
            continue;
        }
        ended = quietOver;
        if (!quietOver) {
            std::printf("FAILED: samples: the loop stalled after %ld samples\n", handled);
            return false;
        }
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    zorkit::sim::CExperimentState plant = *board.Experiment();
    board.StopExperiment();

    long sent = long(plant.samples);
    long answered = long(plant.answers);
    // Every answer of the host reached the board, unless a moment of silence
    // swallowed it: at most one per fault. The board keeps sending unanswered
    // samples once the loop has ended.
    long swallowed = handled - answered;
    std::printf("samples: %ld handled by the host in %.1f s (%.1f us each); the board sent %ld and took %ld answers; "
                "%ld faults swallowed %ld answers\n",
                handled, seconds, seconds * 1e6 / double(handled), sent, answered, faults, swallowed);
    bool accounted = handled == samples && sent >= handled && swallowed >= 0 && swallowed <= faults;
    if (!accounted)
        std::printf("FAILED: samples not accounted for (%ld of %ld handled, %ld sent, %ld swallowed by %ld faults)\n",
                    handled, samples, sent, swallowed, faults);
    return accounted;
}

bool RunCycles(long cycles)
{
    auto start = Clock::now();
    long tested = 0;
    for (long cycle = 0; cycle < cycles; ++cycle) {
        CZORComm link(CZORComm::CPU_8051, kPort, 0);
        if (!link.IsActive()) {
            std::printf("FAILED: cycles: cycle %ld could not open the line\n", cycle);
            return false;
        }
        if (cycle % 100 == 0) {
            if (!link.CheckConnect()) {
                std::printf("FAILED: cycles: cycle %ld found the board silent\n", cycle);
                return false;
            }
            ++tested;
        }
        // A worker waits in the reset watcher when the link goes.
        link.SetZORConnect(0);
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("cycles: %ld links opened and closed in %.1f s, %ld of them tested\n", cycles, seconds, tested);
    return true;
}

}

int main(int argc, char** argv)
{
    std::vector<long> counts;
    Injected injected = Injected::None;
    for (int at = 1; at < argc; ++at) {
        std::string word = argv[at];
        if (word == "--inject" && at + 1 < argc) {
            std::string fault = argv[++at];
            if (fault == "lose-sample")
                injected = Injected::LoseSample;
            else if (fault == "leak-descriptor")
                injected = Injected::LeakDescriptor;
            else if (fault == "hold-memory")
                injected = Injected::HoldMemory;
            else {
                std::fprintf(stderr, "--inject takes lose-sample, leak-descriptor or hold-memory\n");
                return 2;
            }
        } else if (!word.empty() && word.find_first_not_of("0123456789") == std::string::npos && counts.size() < 2) {
            counts.push_back(std::atol(word.c_str()));
        } else {
            std::fprintf(stderr, "usage: zorkit_link_soak_bench [--inject FAULT] [SAMPLES [CYCLES]]\n");
            return 2;
        }
    }
    long samples = counts.size() > 0 ? counts[0] : 1000000;
    long cycles = counts.size() > 1 ? counts[1] : 10000;
    zorkit::SetMessageBoxEcho(false);
    auto logDir = std::filesystem::temp_directory_path() / ("zorkit-soak-" + std::to_string(::getpid()));
    std::filesystem::create_directories(logDir);
    CCommPort::SetLogDirectory(logDir.string());

    zorkit::sim::CVirtualBoard board;
    if (!board.Start()) {
        std::fprintf(stderr, "cannot start the virtual board: %s\n", board.LastError().c_str());
        return 1;
    }
    zorkit::SetSerialPortPath(kPort, board.SlavePath());
    // A tenth of each part first, so that what stays for the whole process (the message
    // queue, the log directory, the allocator's and the sanitizers' own stores, the
    // thread library's cached stacks) is in the starting figures.
    bool good = RunSamples(board, std::max(samples / 10, std::min(samples, 5000L)));
    good = RunCycles(std::max(cycles / 10, std::min(cycles, 100L))) && good;
    g_injected = injected;
    ProcessFigures before = Measure();
    Print("start (after a tenth):", before);
    good = RunSamples(board, samples) && good;
    Print("after the samples:", Measure());
    good = RunCycles(cycles) && good;
    ProcessFigures after = Measure();
    Print("end:", after);
    std::filesystem::remove_all(logDir);
    if (after.descriptors > before.descriptors) {
        std::printf("FAILED: %ld descriptors were left open\n", after.descriptors - before.descriptors);
        good = false;
    }
    if (after.threads > before.threads) {
        std::printf("FAILED: %ld threads were left running\n", after.threads - before.threads);
        good = false;
    }
    const long grown = after.rssKb - before.rssKb;
    std::printf("RSS grew by %ld KB (tolerance %ld KB)\n", grown, kRssToleranceKb);
    if (before.rssKb < 0 || after.rssKb < 0) {
        std::printf("FAILED: the resident memory could not be read\n");
        good = false;
    } else if (grown > kRssToleranceKb) {
        std::printf("FAILED: the resident memory grew by %ld KB, more than the %ld KB allowed\n", grown, kRssToleranceKb);
        good = false;
    }
    if (!good)
        std::printf("FAILED\n");
    return good ? 0 : 1;
}
