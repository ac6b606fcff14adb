// Debugging by the source: the margin beside the editor with its marks (the
// breakpoints on the source's lines, the line the program stopped on), the call stack
// and the watches of a C program's stop, the steps (by C line in a C program, by
// instruction in an assembly one) and the breakpoints that follow their lines through
// a rebuild. A stop in another source of the program shows that source.
//
//   CSourceDebugger debugger(window, editor, files, program, requests);
//   debugger.Create();
//   debugger.SetDownloaded(program.SharedDebugInfo() != nullptr);
//   debugger.StepOver();
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "tools/zorstudio/BuiltProgram.h"
#include "tools/zorstudio/SourceStepper.h"
#include "tools/zorstudio/ui/CallStackView.h"
#include "tools/zorstudio/ui/SourceFiles.h"
#include "tools/zorstudio/ui/SourceMargin.h"
#include "tools/zorstudio/ui/StudioRequests.h"
#include "tools/zorstudio/ui/WatchGrid.h"

namespace zorstudio {

class CSourceDebugger {
public:
    // program: what was last built; it is replaced, never moved, while this lives.
    CSourceDebugger(CWnd& window, CSourceView& editor, CSourceFiles& files, const CBuiltProgram& program,
                    CStudioRequests& requests)
        : m_window(window), m_editor(editor), m_files(files), m_program(program), m_requests(requests) {}
    // The editor lives on: it no longer tells this of its lines.
    ~CSourceDebugger() { m_editor.onLinesMoved = {}; }
    CSourceDebugger(const CSourceDebugger&) = delete;
    CSourceDebugger& operator=(const CSourceDebugger&) = delete;

    // Creates the margin, the call stack and the watches in the window.
    bool Create();
    CSourceMargin& Margin() { return m_margin; }
    CCallStackView& CallStack() { return m_callStack; }
    CWatchGrid& Watches() { return m_watches; }

    // The program sent to the board is a C program: steps go by C line.
    void SetDownloaded(bool cProgram) { m_downloadedC = cProgram; }
    bool DownloadedC() const { return m_downloadedC; }

    // The code address of a line (from 1) of the source shown, as it is now: its line
    // as last built, followed through the edits since.
    std::optional<WORD> AddressOfSourceLine(int line) const;
    // The margin's marks for the source shown, as the board thread last showed them.
    void MarkSource();
    // The views of the C program's stop the board thread last showed.
    void ShowSourceStop();
    // Moves the breakpoints on source lines to where those lines' code is after a rebuild.
    void KeepBreakpoints(const CBuiltProgram& before);
    bool StepOver();
    bool StepInto();
    // Out of the current C function.
    bool StepOut();

    // An instruction was traced: its stop is read and can be told.
    std::function<void()> onTraced;

private:
    // The file of the source shown, as the build names it.
    std::filesystem::path ShownSource() const;
    bool StepSource(SourceStep step, std::string what);
    // A step that ends in a stop is told by the stop; else what tells it has begun.
    void Step(std::function<bool(CDebugSession&)> step, std::string what);

    CWnd& m_window;
    CSourceView& m_editor;
    CSourceFiles& m_files;
    const CBuiltProgram& m_program;
    CStudioRequests& m_requests;
    CSourceMargin m_margin;
    CCallStackView m_callStack;
    CWatchGrid m_watches;
    bool m_downloadedC = false;
    const CSourceStop* m_sourceShown = nullptr;
};

}
