// zorstudio's main window on the virtual board while the board works: the longest
// time the window's message loop does not answer (another thread sends it a message
// every 5 ms) during a 16 KB download, a stop at a breakpoint, and a control
// experiment; and how long each of those takes. The aim is no stall over 50 ms.
//
//   zorkit_studio_bench [PNG]      # PNG: a picture of the window after the stop
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "tests/studio/BigProgram.h"
#include "tests/studio/LoopProbe.h"
#include "tools/zorstudio/ui/StudioWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"

namespace {

using Clock = std::chrono::steady_clock;
using zorkit::studio::test::CLoopProbe;
constexpr DWORD kWaitMs = 180000;

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

int Fail(const std::string& why)
{
    std::fprintf(stderr, "zorkit_studio_bench: %s\n", why.c_str());
    return 1;
}

// Pumps the window's thread until done; the worst answer of the loop meanwhile.
bool Measure(zorstudio::CStudioWindow& window, const char* what, const std::function<bool()>& start,
             const std::function<bool()>& done)
{
    CLoopProbe probe(window.m_hWnd);
    const Clock::time_point from = Clock::now();
    if (!start() || !zorkit::PumpMessagesUntil(done, kWaitMs))
        return false;
    const double took = Ms(from);
    const double worst = probe.Stop();
    std::printf("%-34s took %8.1f ms; the window's loop answered %5d times, the slowest in %5.1f ms\n", what, took,
                probe.Answers(), worst);
    return true;
}

}

int main(int argc, char** argv)
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "zorkit-studio-bench";
    std::filesystem::create_directories(dir);
    CCommPort::SetLogDirectory(dir.string());
    const std::filesystem::path source = dir / "big.asm";
    std::ofstream(source) << zorkit::studio::test::BigProgramSource();

    zorstudio::CStudioWindow window;
    if (!window.CreateMain(CRect(0, 0, zorstudio::CStudioWindow::kWidth, zorstudio::CStudioWindow::kHeight)))
        return Fail("cannot create the window");
    if (!window.Board().Call([](zorstudio::CDebugSession& s) { return s.Open({}) && s.Connect(); }))
        return Fail("the virtual board does not answer");
    window.Board().Call([](zorstudio::CDebugSession& s) {
        zorkit::sim::CMonitorTimings timings = s.VirtualBoard()->GetTimings();
        timings.stopDelay = std::chrono::milliseconds(0);
        s.VirtualBoard()->SetTimings(timings);
        return true;
    });
    zorkit::PumpPendingMessages();
    if (!window.OpenSource(source) || !window.Build())
        return Fail(window.StatusBar().PaneText(0));
    const auto idle = [&] { return window.Idle(); };
    if (!Measure(window, "downloading 16 KB", [&] { return window.Download(); }, idle) || !window.View().entry)
        return Fail("the download failed: " + window.StatusBar().PaneText(0));

    const auto done = window.AddressOfSourceLine(window.Source().GetLineCount());
    if (!done || !window.ToggleBreakpoint(*done) || !zorkit::PumpMessagesUntil(idle, kWaitMs))
        return Fail("no breakpoint at done");
    const int stops = window.View().stopsHandled;
    if (!Measure(window, "a run to a breakpoint and its stop", [&] { return window.Run(); }, [&] {
            return window.Idle() && window.View().stopsHandled > stops && !window.View().memoryPending;
        }))
        return Fail("no stop was reported");
    if (argc > 1 && !zorkit::WriteWindowPng(window.m_hWnd, argv[1], true))
        return Fail(std::string("cannot write ") + argv[1]);

    zorstudio::CExperimentPanel& panel = window.Panel();
    panel.GetDlgItem(zorstudio::CExperimentPanel::IdSamples)->SetWindowText("100");
    panel.GetDlgItem(zorstudio::CExperimentPanel::IdPeriod)->SetWindowText("0");
    if (!Measure(window, "a temperature run of 100 samples", [&] { return panel.Start(); }, [&] {
            window.Tick();
            return !panel.FiguresText().empty();
        }))
        return Fail("the experiment did not end");
    return 0;
}
