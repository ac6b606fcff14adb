#include "tools/zorstudio/ui/WindowTour.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "tools/common/IntelHex.h"
#include "tools/common/SystemReason.h"
#include "tools/zorstudio/Translation.h"
#include "tools/zorstudio/ui/StudioWindow.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"

namespace zorstudio {
namespace {

constexpr DWORD kStopWaitMs = 10000;
constexpr DWORD kExperimentWaitMs = 120000;
constexpr WORD kEditAddress = 0x40;
// How long one command of the board may take (a download of the sample included).
constexpr DWORD kCommandWaitMs = 60000;

// Lets the window's commands to the board finish; true when one holds afterwards.
bool Settled(CStudioWindow& window, bool started, const std::function<bool()>& holds)
{
    return started && zorkit::PumpMessagesUntil([&] { return window.Idle(); }, kCommandWaitMs) && holds();
}

class CWindowTour {
public:
    CWindowTour(CStudioWindow& window, std::filesystem::path directory)
        : m_window(window), m_directory(std::move(directory))
    {
    }

    // Prints the stage's outcome (the status line) and pictures the window; false
    // when the stage failed or the picture could not be written.
    bool Stage(const std::string& name, bool done)
    {
        zorkit::PumpPendingMessages();
        m_window.Tick();
        m_window.UpdateWindow();
        char file[64];
        std::snprintf(file, sizeof file, "%02d-%s.png", ++m_stage, name.c_str());
        const std::filesystem::path png = m_directory / file;
        const std::string status = zorkit::Utf8FromGbk(m_window.StatusBar().PaneText(CStudioWindow::kMessagePane));
        std::printf("[%d] %-10s %s\n    %s\n", m_stage, name.c_str(), status.c_str(), png.string().c_str());
        std::fflush(stdout);
        if (!done) {
            std::fprintf(stderr, "zorstudio: %s\n", Tr("tour stage {1} ({2}) failed: {3}", {std::to_string(m_stage), name, status}).c_str());
            return false;
        }
        if (!zorkit::WriteWindowPng(m_window.m_hWnd, png.string().c_str(), true)) {
            std::fprintf(stderr, "zorstudio: %s\n", Tr("cannot write {1}", {png.string()}).c_str());
            return false;
        }
        return true;
    }

private:
    CStudioWindow& m_window;
    std::filesystem::path m_directory;
    int m_stage = 0;
};

std::string LineText(const CTextBuf& text, int line)
{
    return std::string(text.GetLineChars(line), std::size_t(text.GetLineLength(line)));
}

// The source line (from 0) that holds; -1 when none does.
int FirstLine(const CTextBuf& source, const std::function<bool(const std::string&)>& holds)
{
    for (int line = 0; line < source.GetLineCount(); ++line)
        if (holds(LineText(source, line)))
            return line;
    return -1;
}

// What the window shows of a C stop: the current line, the call stack's lines and
// the watch grid's rows.
void PrintSourceStop(CStudioWindow& window)
{
    std::printf("    %s\n", Tr("current line {1}", {std::to_string(window.Margin().CurrentLine() + 1)}).c_str());
    const CTextBuf& stack = window.CallStack().Text();
    for (int line = 0; line < stack.GetLineCount(); ++line)
        std::printf("    %s\n", Tr("frame {1}", {LineText(stack, line)}).c_str());
    CWatchGrid& watches = window.Watches();
    for (int row = 1; row < watches.GetRowCount(); ++row)
        std::printf("    %s\n", Tr("watch {1} = {2}", {watches.GetItemText(row, CWatchGrid::kNameColumn).str(),
                                                      watches.GetItemText(row, CWatchGrid::kValueColumn).str()})
                               .c_str());
    std::fflush(stdout);
}

// Pumps the window's messages until it shows the C stop after `stops` stops.
bool ShowsSourceStop(CStudioWindow& window, int stops)
{
    return zorkit::PumpMessagesUntil([&] {
        const CBoardView& view = window.View();
        return view.stopsHandled > stops && view.source && !view.memoryPending && window.Idle();
    }, kStopWaitMs);
}

// The C program: built with sdcc, stopped at a line breakpoint after some passes, its
// call stack and its watches in their tabs, into the line's call and out, then over
// the rest of the line.
bool RunCStages(CStudioWindow& window, CWindowTour& tour, const std::string& program)
{
    if (!tour.Stage("c-open", window.OpenSource(program)) || !tour.Stage("c-build", window.Build()) ||
        !tour.Stage("c-download", Settled(window, window.Download(), [&] {
            return !window.Downloading() && window.View().entry == window.LastBuild().entry;
        })))
        return false;
    const int line = FirstLine(window.Source(), [](const std::string& text) {
        return text.find(kTourCBreakpointText) != std::string::npos;
    });
    const auto address = window.AddressOfSourceLine(line + 1);
    if (!tour.Stage("c-breakpoint", address && Settled(window, window.ToggleBreakpointAtLine(line), [&] {
            return window.View().IsBreakpoint(*address);
        })))
        return false;
    bool stopped = true;
    for (int pass = 0; pass < kTourCPasses && stopped; ++pass) {
        const int stops = window.View().stopsHandled;
        stopped = window.Run() && ShowsSourceStop(window, stops);
    }
    window.Layout().ShowTab(Pane::CallStack);
    if (!tour.Stage("c-stack", stopped))
        return false;
    PrintSourceStop(window);
    window.Layout().ShowTab(Pane::Watch);
    if (!tour.Stage("c-watches", true))
        return false;
    CSourceDebugger& debugger = window.SourceDebugger();
    const std::pair<const char*, bool (CSourceDebugger::*)()> steps[] = {
        {"c-into", &CSourceDebugger::StepInto},
        {"c-out", &CSourceDebugger::StepOut},
        {"c-step", &CSourceDebugger::StepOver}};
    for (const auto& [name, step] : steps) {
        const int stops = window.View().stopsHandled;
        if (!tour.Stage(name, (debugger.*step)() && ShowsSourceStop(window, stops)))
            return false;
        PrintSourceStop(window);
    }
    return true;
}

}

int RunWindowTour(const CTourOptions& options)
{
    std::error_code error;
    std::filesystem::create_directories(options.directory, error);
    if (error) {
        std::fprintf(stderr, "zorstudio: %s\n", Tr("cannot make {1}: {2}", {options.directory, tools::SystemReason(error)}).c_str());
        return 1;
    }
    CStudioWindow window;
    std::string why;
    if (!window.Board().Call([&](CDebugSession& s) { return s.Open(options.line) || (why = s.LastError(), false); })) {
        std::fprintf(stderr, "zorstudio: %s\n", why.c_str());
        return 1;
    }
    if (!window.CreateMain(CRect(0, 0, CStudioWindow::kWidth, CStudioWindow::kHeight))) {
        std::fprintf(stderr, "zorstudio: %s\n", Tr("cannot create the main window").c_str());
        return 1;
    }
    window.Panel().SetExportDirectory(options.directory);
    CWindowTour tour(window, options.directory);

    const auto connected = [&] { return window.View().state == LinkState::Connected; };
    if (!tour.Stage("open", window.OpenSource(options.program)) || !tour.Stage("build", window.Build()) ||
        !tour.Stage("connect", Settled(window, window.Lines().Connect(), connected)) ||
        !tour.Stage("download", Settled(window, window.Download(), [&] { return window.View().entry.has_value(); })))
        return 1;

    const auto done = window.AddressOfSourceLine(
        FirstLine(window.Source(), [](const std::string& text) { return text.rfind("done:", 0) == 0; }) + 1);
    if (!tour.Stage("breakpoint", done && Settled(window, window.ToggleBreakpoint(*done),
                                                  [&] { return window.View().IsBreakpoint(*done); })))
        return 1;
    const int stops = window.View().stopsHandled;
    const bool stopped = window.Run() && zorkit::PumpMessagesUntil([&] {
        return window.View().stopsHandled > stops && !window.View().memoryPending && window.Idle();
    }, kStopWaitMs);
    if (!tour.Stage("stop", stopped))
        return 1;

    const CCellID cell = CMemoryGrid::CellOf(kEditAddress);
    CString typed = "5A";
    window.Memory().OnEndEditCell(cell.row, cell.col, typed);
    window.Memory().RedrawCell(cell);
    if (!tour.Stage("edit", Settled(window, true, [&] {
            return window.View().current.internalRam.size() > kEditAddress &&
                   window.View().current.internalRam[kEditAddress] == 0x5A &&
                   window.Memory().GetItemText(cell.row, cell.col).str() == "5A";
        })))
        return 1;

    CExperimentPanel& panel = window.Panel();
    window.Layout().ShowTab(Pane::Experiment);
    panel.SetKind(ExperimentKind::Temperature);
    panel.GetDlgItem(CExperimentPanel::IdSamples)->SetWindowText(std::to_string(options.samples).c_str());
    panel.GetDlgItem(CExperimentPanel::IdPeriod)->SetWindowText("0");
    const bool ran = panel.Start() &&
                     zorkit::PumpMessagesUntil([&] { return !panel.FiguresText().empty(); }, kExperimentWaitMs);
    if (!tour.Stage("experiment", ran))
        return 1;
    std::printf("%s\n", panel.FiguresText().c_str());

    const bool exported = !panel.ExportRun(CExperimentPanel::Export::Png).empty() &&
                          !panel.ExportRun(CExperimentPanel::Export::Pdf).empty() &&
                          !panel.ExportRun(CExperimentPanel::Export::Csv).empty();
    if (!tour.Stage("export", exported))
        return 1;

    // The sorting program's breakpoint would lie somewhere in the C program's code.
    if (!Settled(window, window.ToggleBreakpoint(*done), [&] { return window.View().breakpoints.empty(); }) ||
        !RunCStages(window, tour, options.cProgram))
        return 1;

    // A lab program running free on the virtual board, live in the board's panel.
    window.Layout().ShowTab(Pane::DevicePanel);
    CIntelHex lab;
    const auto& board = window.BoardPanes().Panel();
    const bool labRuns = lab.LoadFile(ZORSTUDIO_LAB_PROGRAMS "/seg7_counter.ihx") &&
                         window.Board().Call([&](CDebugSession& s) { return s.Download(lab) && s.Run(0x0000); }) &&
                         zorkit::PumpMessagesUntil([&] { return board.State().digits[6] && board.State().digits[7]; },
                                                   kCommandWaitMs);
    if (!tour.Stage("board", labRuns))
        return 1;
    const std::filesystem::path panelPng = std::filesystem::path(options.directory) / "board-panel.png";
    if (!board.WritePicture(panelPng.string().c_str())) {
        std::fprintf(stderr, "zorstudio: %s\n", Tr("cannot write {1}", {panelPng.string()}).c_str());
        return 1;
    }
    std::printf("    %s\n", panelPng.string().c_str());
    std::printf("\n%s\n", Tr("tour complete").c_str());
    return 0;
}

}
