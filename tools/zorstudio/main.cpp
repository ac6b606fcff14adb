// zorstudio: the library in a real window. A temperature experiment against a virtual
// board inside this program, live in a graph when a display is present, saved as a
// PNG otherwise, its settling printed as it goes.
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "zorkit/platform/core/HostWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "tools/common/OutputPath.h"
#include "tools/common/ToolMain.h"
#include "tools/zorstudio/HeaterBench.h"
#include "tools/zorstudio/Options.h"
#include "tools/zorstudio/RunRecord.h"
#ifdef ZORKIT_HAS_SDL
#include "zorkit/platform/sdl/OnScreen.h"
#endif

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr const char* kDefaultPng = "zorstudio.png";
// Gains that settle the board's heater, as zorlink's defaults.
constexpr float kKp = 10.0f, kKi = 0.0f, kKd = 20.0f;
// How long a stopped loop may take to finish the pass under way.
constexpr DWORD kEndGraceMs = 5000;
// Wakes the window's loop to look at the clock and the experiment.
constexpr UINT kCheckMs = 100;
constexpr std::uintptr_t kCheckTimer = 1;

int Fail(const std::string& message)
{
    std::fprintf(stderr, "zorstudio: %s\n", message.c_str());
    return kExitFailed;
}

int Study(int argc, char** argv)
{
    std::string error;
    auto options = zorstudio::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "zorstudio: %s\nTry 'zorstudio --help'.\n", error.c_str());
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(zorstudio::UsageText().c_str(), stdout);
        return kExitOk;
    }

    // Without a window the picture is the result: its path must take it before the run.
    const std::string plannedPng = options->png.empty() && options->noWindow ? kDefaultPng : options->png;
    if (!plannedPng.empty())
        if (auto why = tools::CheckOutputPath(plannedPng))
            return Fail(*why);

    zorstudio::CRunRecord record(options->target, options->samples);
    CGraph& graph = record.Picture().Graph();
    auto bench = zorstudio::CHeaterBench::Start(error);
    if (!bench)
        return Fail(error);
    CZORComm& link = bench->Link();
    // Registered before the experiment starts and unregistered after it has ended.
    zorkit::CHostWindow sink([&](UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_CTRL_SAMPLE) {
            record.Add(*reinterpret_cast<const float*>(wParam), link.GetCtrlOutput());
            if (graph.m_hWnd)
                graph.Invalidate(FALSE);
        }
        return LRESULT(0);
    });
    link.SetAckWnd(sink.GetSafeHwnd());
    link.SetTargetTemp(options->target);
    link.SetKpKiKd(kKp, kKi, kKd);
    link.SetSampleNums(options->samples);
    link.SetPeriod(options->period);

    const DWORD start = GetTickCount();
    auto pastDeadline = [&] {
        return options->seconds && zorkit::TickPassed(GetTickCount(), start + DWORD(*options->seconds) * 1000);
    };
    auto ended = [&] { return !link.IsCtrlThreadRunning(); };
    std::printf("temperature experiment: set point %d °C, %d samples, gains %g %g %g\n", options->target,
                options->samples, kKp, kKi, kKd);
    std::fflush(stdout);
    link.SetControl(CTRL_TEMP, nullptr);

    bool shown = false;
#ifdef ZORKIT_HAS_SDL
    if (auto screen = options->noWindow ? nullptr : zorkit::ScreenSession::Start()) {
        const CRect place(80, 80, 80 + CExperimentPicture::kWidth, 80 + CExperimentPicture::kHeight);
        if (!graph.CreateEx(0, AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW)),
                            "zorstudio - temperature control", WS_POPUP | WS_VISIBLE, place, nullptr, 0))
            return Fail("cannot create the graph window");
        shown = true;
        graph.SetTimer(kCheckTimer, kCheckMs);
        bool summarised = false;
        screen->Run([&] {
            if (!summarised && ended()) {
                summarised = true;
                record.PrintSummary();
                graph.SetWindowText(("zorstudio - " + record.Outcome() + " - close to end").c_str());
            }
            return !graph.m_hWnd || pastDeadline();
        });
        if (graph.m_hWnd)
            graph.DestroyWindow();
    }
#endif
    if (!shown)
        zorkit::PumpMessagesUntil([&] { return ended() || pastDeadline(); }, UINT_MAX);
    const bool stopped = !ended();
    if (stopped)
        link.SetCtrlExit(0);
    const bool finished = zorkit::PumpMessagesUntil(ended, DWORD(options->period) + kEndGraceMs);
    link.SetAckWnd(nullptr);
    if (!finished)
        return Fail("the board sent nothing more; the experiment was abandoned");
    if (stopped)
        std::printf("stopped after %d of %d samples\n", record.Count(), options->samples);
    if (!shown || stopped)
        record.PrintSummary();

    std::string png = options->png.empty() && !shown ? kDefaultPng : options->png;
    if (!png.empty()) {
        if (!record.Picture().WritePng(png.c_str()))
            return Fail("cannot write the picture to " + png);
        std::printf("picture      %s\n", std::filesystem::absolute(png).c_str());
    }
    return kExitOk;
}

}

int main(int argc, char** argv) { return tools::RunTool("zorstudio", Study, argc, argv); }
