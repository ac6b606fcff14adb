// zorstudio: the library in a real window. On a display, the main window on a board
// (the virtual one inside this program by default); with the temperature run's
// options or without a display, a temperature experiment against the virtual board,
// live in a graph when a display is present, saved as a PNG otherwise, its settling
// printed as it goes; or, with --tour, the scripted tour of a student's session.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>

#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "tools/common/ExitStatus.h"
#include "tools/common/OutputPath.h"
#include "tools/common/ToolMain.h"
#include "tools/zorstudio/DebugSession.h"
#include "tools/zorstudio/Options.h"
#include "tools/zorstudio/RunPrinter.h"
#include "tools/zorstudio/StudioSettings.h"
#include "tools/zorstudio/Tour.h"
#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/StudioWindow.h"
#include "tools/zorstudio/ui/WindowTour.h"
#ifdef ZORKIT_HAS_SDL
#include "zorkit/platform/sdl/OnScreen.h"
#endif

namespace {

using tools::kExitFailed;
using tools::kExitOk;
using zorstudio::Tr;
using zorstudio::TrGbk;
constexpr const char* kDefaultPng = "zorstudio.png";
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

zorstudio::CLineChoice ChosenLine(const zorstudio::COptions& options)
{
    const zorstudio::CLineChoice remembered = zorstudio::LoadLineChoice();
    zorstudio::CLineChoice line;
    line.device = options.last ? remembered.device : options.device;
    if (options.last && remembered.IsVirtual())
        std::fprintf(stderr, "zorstudio: %s\n",
                     Tr("no serial device is remembered in {1}; the virtual board is used", {zorstudio::SettingsPath()}).c_str());
    line.baud = options.baud.value_or(remembered.baud);
    return line;
}

int Tour(const zorstudio::COptions& options)
{
    zorstudio::CTourOptions tour;
    tour.directory = options.tour;
    tour.program = options.program.empty() ? zorstudio::DefaultTourProgram() : options.program;
    tour.cProgram = zorstudio::DefaultTourCProgram();
    tour.samples = options.samples;
    tour.line = ChosenLine(options);
    const int status = options.shots ? zorstudio::RunWindowTour(tour) : zorstudio::RunTour(tour);
    // A real board that answered is the one to offer next time.
    if (status == kExitOk && !tour.line.IsVirtual() && !zorstudio::SaveLineChoice(tour.line))
        std::fprintf(stderr, "zorstudio: %s\n", Tr("cannot remember the device in {1}", {zorstudio::SettingsPath()}).c_str());
    return status;
}

#ifdef ZORKIT_HAS_SDL
// The main window until it is closed (or --seconds have passed).
int Studio(const zorstudio::COptions& options, zorkit::ScreenSession& screen)
{
    zorstudio::CStudioWindow window;
    std::string error;
    const zorstudio::CLineChoice line = ChosenLine(options);
    if (!window.Board().Call([&](zorstudio::CDebugSession& s) { return s.Open(line) || (error = s.LastError(), false); }))
        return Fail(error);
    // The usual size where the screen has room for it, else the whole work area; the
    // desktop's frame takes a little more, which the margin leaves it.
    const CRect area = screen.WorkArea();
    constexpr int kFrame = 40;
    const int width = std::min(zorstudio::CStudioWindow::kWidth, int(area.Width()) - kFrame);
    const int height = std::min(zorstudio::CStudioWindow::kHeight, int(area.Height()) - kFrame);
    const CRect place(area.left + kFrame / 2, area.top + kFrame / 2, area.left + kFrame / 2 + width, area.top + kFrame / 2 + height);
    if (!window.CreateMain(place))
        return Fail(Tr("cannot create the main window"));
    window.OpenSource(options.program.empty() ? zorstudio::DefaultTourProgram() : options.program);
    window.Lines().Connect();
    const DWORD start = GetTickCount();
    screen.Run([&] {
        return !window.m_hWnd || (options.seconds && zorkit::TickPassed(GetTickCount(), start + DWORD(*options.seconds) * 1000));
    });
    // A real board that answered is the one to offer next time.
    const zorstudio::CBoardView& view = window.View();
    const bool answered = view.state != zorstudio::LinkState::Unconnected && view.state != zorstudio::LinkState::Closed &&
                          view.state != zorstudio::LinkState::AdapterGone && view.state != zorstudio::LinkState::WaitingForReset;
    if (answered && !view.line.IsVirtual() && !zorstudio::SaveLineChoice(view.line))
        std::fprintf(stderr, "zorstudio: %s\n", Tr("cannot remember the device in {1}", {zorstudio::SettingsPath()}).c_str());
    return kExitOk;
}
#endif

int Study(int argc, char** argv)
{
    zorstudio::LoadTranslation();
    zorstudio::COptions options;
    if (std::optional<int> status = zorstudio::ParseCommandLine({argv + 1, argv + argc}, options))
        return *status;
    if (!options.tour.empty())
        return Tour(options);
#ifdef ZORKIT_HAS_SDL
    if (!options.experiment) {
        if (auto screen = zorkit::ScreenSession::Start())
            return Studio(options, *screen);
    }
#endif
    if (!options.program.empty() || !options.device.empty() || options.baud || options.last)
        return Fail(Tr("there is no display for the window; --tour DIR runs the session without one"));

    // Without a window the picture is the result: its path must take it before the run.
    const std::string plannedPng = options.png.empty() && options.noWindow ? kDefaultPng : options.png;
    if (!plannedPng.empty())
        if (auto why = tools::CheckOutputPath(plannedPng))
            return Fail(*why);

    zorstudio::CDebugSession session;
    if (!session.Open({}))
        return Fail(session.LastError());
    zorstudio::CExperimentSetup setup = zorstudio::DefaultSetup(zorstudio::ExperimentKind::Temperature);
    setup.setPoint = options.target;
    setup.samples = options.samples;
    setup.period = options.period;
    const zorstudio::CRunPrinter printer(setup.samples);
    CGraph* graph = nullptr;
    std::printf(Tr("temperature experiment: set point %d °C, %d samples, gains %g %g %g\n").c_str(), setup.setPoint,
                setup.samples, setup.kp, setup.ki, setup.kd);
    std::fflush(stdout);
    if (!session.StartExperiment(setup, [&](const zorstudio::CExperimentSample& sample) {
            printer.Sample(sample);
            if (graph && graph->m_hWnd)
                graph->Invalidate(FALSE);
        }))
        return Fail(session.LastError());
    zorstudio::CExperimentRecord& record = *session.Experiment();
    graph = &record.Picture()->Graph();

    const DWORD start = GetTickCount();
    auto pastDeadline = [&] {
        return options.seconds && zorkit::TickPassed(GetTickCount(), start + DWORD(*options.seconds) * 1000);
    };
    auto ended = [&] {
        session.Poll();
        return !session.IsExperimentRunning();
    };

    bool shown = false;
#ifdef ZORKIT_HAS_SDL
    if (auto screen = options.noWindow ? nullptr : zorkit::ScreenSession::Start()) {
        const CRect place(80, 80, 80 + CExperimentPicture::kWidth, 80 + CExperimentPicture::kHeight);
        if (!graph->CreateEx(0, AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW)),
                             ("zorstudio - " + TrGbk("Temperature control")).c_str(), WS_POPUP | WS_VISIBLE, place, nullptr, 0))
            return Fail(Tr("cannot create the graph window"));
        shown = true;
        graph->SetTimer(kCheckTimer, kCheckMs);
        bool summarised = false;
        screen->Run([&] {
            if (!summarised && ended()) {
                summarised = true;
                zorstudio::CRunPrinter::PrintSummary(record);
                graph->SetWindowText(
                    ("zorstudio - " + TrGbk("{1} - close to end", {zorstudio::CRunPrinter::Outcome(record)})).c_str());
            }
            return !graph->m_hWnd || pastDeadline();
        });
        if (graph->m_hWnd)
            graph->DestroyWindow();
    }
#endif
    if (!shown)
        zorkit::PumpMessagesUntil([&] { return ended() || pastDeadline(); }, UINT_MAX);
    const bool stopped = !ended();
    if (stopped)
        session.StopExperiment();
    if (!session.WaitForExperimentEnd(DWORD(options.period) + kEndGraceMs))
        return Fail(Tr("the board sent nothing more; the experiment was abandoned"));
    if (stopped)
        std::printf(Tr("stopped after %zu of %d samples\n").c_str(), record.Samples().size(), options.samples);
    if (!shown || stopped)
        zorstudio::CRunPrinter::PrintSummary(record);

    std::string png = options.png.empty() && !shown ? kDefaultPng : options.png;
    if (!png.empty()) {
        if (!record.Picture()->WritePng(png.c_str()))
            return Fail(Tr("cannot write the picture to {1}", {png}));
        std::printf("%s\n", Tr("picture      {1}", {std::filesystem::absolute(png).string()}).c_str());
    }
    return kExitOk;
}

}

int main(int argc, char** argv) { return tools::RunTool("zorstudio", Study, argc, argv); }
