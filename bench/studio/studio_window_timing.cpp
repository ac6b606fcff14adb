// zorstudio's main window on the virtual board: the time from the program's start to
// the first painted frame (headless, and on the screen when there is a display), and
// from a stop at a breakpoint until the registers, the listing and the memory are
// repainted: the board read over the line, then the views updated and painted.
//
//   zorkit_studio_bench [PNG]      # PNG: a picture of the window after the last stop
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/zorstudio/ui/StudioWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#ifdef ZORKIT_HAS_SDL
#include "zorkit/platform/sdl/OnScreen.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kStops = 8;
constexpr DWORD kStopWaitMs = 20000;

double Ms(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Fail(const std::string& why)
{
    std::fprintf(stderr, "zorkit_studio_bench: %s\n", why.c_str());
    return 1;
}

}

int main(int argc, char** argv)
{
    const Clock::time_point start = Clock::now();
    std::filesystem::path logs = std::filesystem::temp_directory_path() / "zorkit-studio-bench";
    std::filesystem::create_directories(logs);
    CCommPort::SetLogDirectory(logs.string());

#ifdef ZORKIT_HAS_SDL
    std::unique_ptr<zorkit::ScreenSession> screen = zorkit::ScreenSession::Start();
#endif
    zorstudio::CDebugSession session;
    if (!session.Open({}))
        return Fail(session.LastError());
    zorstudio::CStudioWindow window(session);
    if (!window.CreateMain(CRect(0, 0, zorstudio::CStudioWindow::kWidth, zorstudio::CStudioWindow::kHeight)))
        return Fail("cannot create the window");
    window.OpenSource(ZORSTUDIO_SAMPLE);
    zorkit::PumpPendingMessages();
    const Clock::time_point painted = Clock::now();
    std::printf("start to the first painted frame (headless): %.1f ms\n", Ms(start, painted));
#ifdef ZORKIT_HAS_SDL
    if (screen) {
        screen->Present();
        std::printf("start to the first frame on the screen:      %.1f ms\n", Ms(start, Clock::now()));
    }
#endif
    const Clock::time_point connecting = Clock::now();
    if (!window.Connect())
        return Fail(session.LastError());
    std::printf("connection test with the board:               %.1f ms\n", Ms(connecting, Clock::now()));

    // The sample, built and downloaded, with a breakpoint at its end; the board
    // reports a stop as soon as it can.
    zorkit::sim::CMonitorTimings timings = session.VirtualBoard()->GetTimings();
    timings.stopDelay = std::chrono::milliseconds(0);
    session.VirtualBoard()->SetTimings(timings);
    if (!window.Build() || !window.Download())
        return Fail(window.StatusBar().PaneText(0));
    std::optional<WORD> done;
    for (int line = 0; line < window.Source().GetLineCount() && !done; ++line)
        if (std::string(window.Source().GetLineChars(line), std::size_t(window.Source().GetLineLength(line))).rfind("done:", 0) == 0)
            done = window.LastBuild().AddressOfLine(line + 1);
    const auto& lines = window.ProgramListing().Lines();
    if (!done || lines.empty() || !session.ToggleBreakpoint(*done))
        return Fail("no breakpoint at the sample's line 'done:': " + session.LastError());

    std::vector<double> total, read, repaint;
    Clock::time_point handled;
    double shown = 0;
    session.SetStopHandler([&] {
        handled = Clock::now();
        window.ShowStop();
        shown = Ms(handled, Clock::now());
    });
    for (int i = 0; i < kStops; ++i) {
        const Clock::time_point readStart = Clock::now();
        if (!session.Refresh())
            return Fail(session.LastError());
        read.push_back(Ms(readStart, Clock::now()));
        const int before = session.StopsHandled();
        const Clock::time_point run = Clock::now();
        if (!session.Run(lines.front().address))
            return Fail(session.LastError());
        if (!zorkit::PumpMessagesUntil([&] { return session.StopsHandled() > before; }, kStopWaitMs))
            return Fail("no stop was reported");
        total.push_back(Ms(run, handled) + shown);
        repaint.push_back(shown);
    }
    std::printf("reading the board at a stop (registers, 256 B internal, 128 B external), median of %d: %.1f ms\n",
                kStops, Median(read));
    std::printf("updating and repainting registers, listing and memory, median of %d:                %.2f ms\n",
                kStops, Median(repaint));
    std::printf("from Run to the repainted views (board run, stop report, read, repaint), median:   %.1f ms\n",
                Median(total));
    // The same three views painted whole, for comparison with the update at a stop.
    std::vector<double> whole;
    for (int i = 0; i < kStops; ++i) {
        const Clock::time_point from = Clock::now();
        for (CWnd* view : {static_cast<CWnd*>(&window.Registers()), static_cast<CWnd*>(&window.Memory()),
                           static_cast<CWnd*>(&window.Listing())}) {
            view->Invalidate(FALSE);
            view->UpdateWindow();
        }
        whole.push_back(Ms(from, Clock::now()));
    }
    std::printf("painting registers, listing and memory whole, median of %d:                         %.2f ms\n",
                kStops, Median(whole));
    if (argc > 1 && !zorkit::WriteWindowPng(window.m_hWnd, argv[1], true))
        return Fail(std::string("cannot write ") + argv[1]);
    return 0;
}
