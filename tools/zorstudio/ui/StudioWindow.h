// zorstudio's main window: the menu bar (File, Build, Debug, Line), a row of command
// buttons, the source editor with its margin (line numbers, breakpoints, the
// current line), the disassembly listing, the registers over a page of internal RAM
// in grids, the call stack and the watches of a C program, a dock with the build
// output, the link's state and communication log, the control-experiment panel, the
// virtual board's devices and its program's serial terminal behind tabs, and the
// status line (message, link state, caret position). The panes are placed by
// CStudioLayout from the window's size. A menu item, its button and its key run the
// same command function. The window wires its parts, each the owner of its piece:
// the source file and its commands (CSourceFiles), the line to the board and its
// reset (CLineChooser), the memory pages (CMemoryPages) and the source-level debugging
// views (CSourceDebugger); all of them ask the board through CStudioRequests.
// Keys: F5 run, F10 step over, F11 step into (by C line in a C program), Ctrl+F11
// step out of a C function, F9 breakpoint at the cursor (or a click in the source
// margin), Ctrl+F10
// run to the cursor, Ctrl+B build, Ctrl+S save, Ctrl+O open; Alt+F/B/D/L opens a menu,
// and in an open menu the arrow keys move, Enter chooses and Escape closes it (so does
// a click elsewhere). Escape also cancels the reset prompt; Enter in the page field
// after XDATA shows that external page. File > Open... and Save As... ask for a path
// in a small prompt. Port (or Line > Port...) picks the line, the virtual board or a
// serial device, the one used last first, and remembers it; Line > Device path...
// takes a device the list does not show, and Line > Baud rate... reopens the line at
// another rate. It works the same on the screen and headless.
//
//   CStudioWindow window;
//   window.Board().Call([](CDebugSession& s) { return s.Open({}); });
//   window.CreateMain(CRect(0, 0, CStudioWindow::kWidth, CStudioWindow::kHeight));
//   window.OpenSource("sort.asm");
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/zorstudio/BoardThread.h"
#include "tools/common/ScratchDirectory.h"
#include "tools/zorstudio/BuiltProgram.h"
#include "tools/zorstudio/ProgramListing.h"
#include "tools/zorstudio/ui/BoardPanes.h"
#include "tools/zorstudio/ui/ExperimentPanel.h"
#include "tools/zorstudio/ui/LineChooser.h"
#include "tools/zorstudio/ui/ListingView.h"
#include "tools/zorstudio/ui/MemoryPages.h"
#include "tools/zorstudio/ui/MenuBar.h"
#include "tools/zorstudio/ui/OutputView.h"
#include "tools/zorstudio/ui/PathPrompter.h"
#include "tools/zorstudio/ui/RegisterGrid.h"
#include "tools/zorstudio/ui/SourceDebugger.h"
#include "tools/zorstudio/ui/SourceFiles.h"
#include "tools/zorstudio/ui/SourceView.h"
#include "tools/zorstudio/ui/StatusBar.h"
#include "tools/zorstudio/ui/StudioLayout.h"
#include "tools/zorstudio/ui/StudioRequests.h"
#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/UIEditView.h"

namespace zorstudio {

class CPathPromptDialog;

class CStudioWindow : public CWnd {
public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 812;

    // The commands: the buttons in the row's order, then those only in the menus.
    enum : UINT {
        IdSave = 101, IdBuild, IdDownload, IdRun, IdStepOver, IdStepInto, IdBreakpoint, IdRunToCursor,
        IdCopyRun, IdReset, IdConnect, IdPort, IdMemoryPage, IdCancel, IdOpen, IdSaveAs, IdExit, IdDevicePath,
        IdBaudRate, IdStepOut,
        IdEditor = 201, IdOutput, IdListing, IdLog, IdRegisters, IdMemory, IdPanel, IdStatus, IdLineList,
        IdExternalPage, IdMenuBar, IdMenuList, IdBoardPanel, IdTerminal, IdSourceMargin, IdCallStack, IdWatches,
        IdLayout = 230,  // the layout's bars and tabs, from here on
    };
    // Status line panes.
    static constexpr int kMessagePane = CStudioRequests::kMessagePane, kLinkPane = 1, kCaretPane = 2;

    CStudioWindow();
    ~CStudioWindow() override;

    BOOL CreateMain(const CRect& rect);
    // Loads the source (.asm, .c) into the editor, or a project (.zpj) and its first
    // source; false (and a message) when it cannot be read.
    bool OpenSource(const std::filesystem::path& path) { return m_files.OpenSource(path); }

    // The board's thread; the window only sends it jobs (and a test or start-up Call()s it).
    CBoardThread& Board() { return m_board; }
    // What the board thread last showed of the session.
    const CBoardView& View() const { return m_board.View(); }
    // No job sent to the board is waiting for its answer.
    bool Idle() const { return m_requests.Idle(); }

    // The window's parts: the source file and its commands, the line to the board,
    // the memory pages, the source-level debugging views, the path prompt.
    CSourceFiles& Files() { return m_files; }
    CLineChooser& Lines() { return m_lines; }
    CMemoryPages& MemoryPages() { return m_memoryPages; }
    CSourceDebugger& SourceDebugger() { return m_sourceDebugger; }
    const CSourceDebugger& SourceDebugger() const { return m_sourceDebugger; }
    // The code address of a line (from 1) of the source shown, as last built.
    std::optional<WORD> AddressOfSourceLine(int line) const { return m_sourceDebugger.AddressOfSourceLine(line); }

    // The commands, as the buttons and keys run them; false when the command was
    // refused at once (the message line says why). A command for the board is sent to
    // its thread and answers on the message line when it is done.
    // Closes the window (File > Exit); refused once while the source has unsaved edits.
    bool Exit();
    bool Build();
    bool Download();
    bool Downloading() const { return m_downloadCancel != nullptr; }
    // Stops the download under way before its next frame.
    bool CancelDownload();
    bool Run();
    bool ToggleBreakpointAtCursor();
    bool ToggleBreakpoint(WORD address);
    // A click in the source margin: the line's breakpoint, counted from 0.
    bool ToggleBreakpointAtLine(int line);
    bool RunToCursor();
    bool ToggleCopyRun();
    // Whether the command can run now; the menus grey the others.
    bool CanRun(UINT command) const;

    // Tells of the stop the board thread last reported.
    void ShowStop();
    // Brings the experiment, the log and the caret pane up to date (the window's timer
    // calls it).
    void Tick();

    CSourceView& Editor() { return m_editor; }
    CTextBuf& Source() { return m_files.Document().Buffer(); }
    COutputView& Output() { return m_output; }
    CTextBuf& OutputText() { return m_outputText; }
    CListingView& Listing() { return m_listing; }
    CTextBuf& ListingText() { return m_listingText; }
    const CProgramListing& ProgramListing() const { return m_programListing; }
    CTextView& Log() { return m_log; }
    CTextBuf& LogText() { return m_logText; }
    CRegisterGrid& Registers() { return m_registers; }
    CSourceMargin& Margin() { return m_sourceDebugger.Margin(); }
    CCallStackView& CallStack() { return m_sourceDebugger.CallStack(); }
    CWatchGrid& Watches() { return m_sourceDebugger.Watches(); }
    CMemoryGrid& Memory() { return m_memoryPages.Grid(); }
    CExperimentPanel& Panel() { return m_panel; }
    // The Device and Terminal tabs: the virtual board's devices and its program's UART.
    CBoardPanes& BoardPanes() { return m_boardPanes; }
    CStatusBar& StatusBar() { return m_status; }
    const CProgramBuildResult& LastBuild() const { return m_program.Result(); }
    const CBuiltProgram& Program() const { return m_program; }
    // The path prompt of Open, Save As or Device path while it is shown, else null.
    CPathPromptDialog* PathPromptWindow() { return m_prompter.Window(); }
    CMenuBar& MenuBar() { return m_menuBar; }
    CStudioLayout& Layout() { return m_layout; }
    const std::filesystem::path& SourcePath() const { return m_files.Document().Path(); }

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    BOOL PreTranslateMessage(MSG* msg) override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnTimer(UINT id);
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    void OnCommandButton(UINT id);

private:
    // What the panes ask of the layout: the listing its longest line, the grids their cells.
    CLayoutWants PaneWants();
    void OnBoardView();
    bool StoppedSince(int stops) const;
    void SyncLinkState();
    void ShowProgress(std::size_t sent, std::size_t total, DWORD elapsedMs);
    void ShowListing();
    void ShowBoard();
    void MarkBreakpoints();
    void MarkPc();
    std::optional<std::string> ListingHeading(WORD address);
    void JumpToMessage(int outputLine);
    void OnListingMargin(int line);
    void RefreshLog();
    void UpdateCaretPane();
    // The code address the cursor stands on: in the listing its line's, in the editor
    // its source line's; nothing when there is none.
    std::optional<WORD> CursorAddress();
    // Closes the open menu or the Port list when a click lands outside it; true when the
    // click is used up by that.
    bool CloseDropDownsOutside(HWND target);
    bool CloseDropDowns();
    bool MenuKey(UINT key);

    CTextBuf m_outputText, m_listingText, m_logText;
    CSourceView m_editor;
    COutputView m_output;
    CListingView m_listing;
    CTextView m_log;
    CRegisterGrid m_registers;
    CExperimentPanel m_panel;
    CBoardPanes m_boardPanes;
    CStatusBar m_status;
    std::vector<std::unique_ptr<CWnd>> m_buttons;
    CMenuBar m_menuBar;
    CStudioLayout m_layout;
    CStudioRequests m_requests;
    CPathPrompter m_prompter;
    CSourceFiles m_files;
    CLineChooser m_lines;
    CMemoryPages m_memoryPages;
    CBuiltProgram m_program;
    CSourceDebugger m_sourceDebugger;
    CTextView* m_caretSource = nullptr;
    tools::CScratchDirectory m_buildDirectory{"zorstudio-build-"};
    CProgramListing m_programListing;
    int m_pcLine = -1;
    int m_listedCode = -1;   // the code generation the listing shows
    int m_stopsShown = 0;
    LinkState m_lastState = LinkState::Closed;  // as the last view showed it
    std::string m_logShown;
    // Set while a download runs: the flag that cancels it.
    std::shared_ptr<std::atomic<bool>> m_downloadCancel;
    // Last, so that it ends (and drops its replies) while the views still exist.
    CBoardThread m_board;
};

}
