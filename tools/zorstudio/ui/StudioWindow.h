// zorstudio's main window: the menu bar (File, Build, Debug, Line), a row of command
// buttons, the source editor with its margin (line numbers, breakpoints, the
// current line), the disassembly listing, the registers over a page of internal RAM
// in grids, the call stack and the watches of a C program, a dock with the build
// output, the link's state and communication log, the control-experiment panel, the
// virtual board's devices and its program's serial terminal behind tabs, and the
// status line (message, link state, caret position). The panes are placed by
// CStudioLayout from the window's size. A menu item, its button and its key run the
// same command function.
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
#include "tools/zorstudio/SourceDocument.h"
#include "tools/zorstudio/ui/BoardPanes.h"
#include "tools/zorstudio/ui/CallStackView.h"
#include "tools/zorstudio/ui/ExperimentPanel.h"
#include "tools/zorstudio/ui/ListingView.h"
#include "tools/zorstudio/ui/MenuBar.h"
#include "tools/zorstudio/ui/MemoryGrid.h"
#include "tools/zorstudio/ui/OutputView.h"
#include "tools/zorstudio/ui/PortList.h"
#include "tools/zorstudio/ui/RegisterGrid.h"
#include "tools/zorstudio/ui/SourceMargin.h"
#include "tools/zorstudio/ui/SourceView.h"
#include "tools/zorstudio/ui/StatusBar.h"
#include "tools/zorstudio/ui/StudioLayout.h"
#include "tools/zorstudio/ui/WatchGrid.h"
#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/UIEditView.h"

namespace zorstudio {

class CPathPromptDialog;
class CResetPromptDialog;

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
    static constexpr int kMessagePane = 0, kLinkPane = 1, kCaretPane = 2;

    CStudioWindow();
    ~CStudioWindow() override;

    BOOL CreateMain(const CRect& rect);
    // Loads the source (.asm, .c) into the editor, or a project (.zpj) and its first
    // source; false (and a message) when it cannot be read.
    bool OpenSource(const std::filesystem::path& path);
    // The project file the program comes from; empty for a program of one source.
    const std::filesystem::path& ProjectPath() const { return m_projectPath; }

    // The board's thread; the window only sends it jobs (and a test or start-up Call()s it).
    CBoardThread& Board() { return m_board; }
    // What the board thread last showed of the session.
    const CBoardView& View() const { return m_board.View(); }
    // No job sent to the board is waiting for its answer.
    bool Idle() const { return m_requests == 0; }

    // The commands, as the buttons and keys run them; false when the command was
    // refused at once (the message line says why). A command for the board is sent to
    // its thread and answers on the message line when it is done.
    bool Save();
    // Asks for a path to open (File > Open...); refused once while the source has
    // unsaved edits, and shown when asked again.
    bool OpenFile();
    // Asks for a path to save the source under (File > Save As...).
    bool SaveAs();
    // Writes the source to path and makes it the source's file.
    bool SaveSourceAs(const std::filesystem::path& path);
    // Closes the window (File > Exit); refused once while the source has unsaved edits.
    bool Exit();
    bool Build();
    bool Download();
    bool Downloading() const { return m_downloadCancel != nullptr; }
    // Stops the download under way before its next frame.
    bool CancelDownload();
    bool Run();
    // By C line in a C program, by instruction in an assembly program.
    bool StepOver();
    bool StepInto();
    // Out of the current C function.
    bool StepOut();
    bool ToggleBreakpointAtCursor();
    bool ToggleBreakpoint(WORD address);
    // A click in the source margin: the line's breakpoint, counted from 0.
    bool ToggleBreakpointAtLine(int line);
    bool RunToCursor();
    bool ToggleCopyRun();
    bool AwaitReset();
    bool Connect();
    void CancelReset();
    // Whether the command can run now; the menus grey the others.
    bool CanRun(UINT command) const;
    // Shows (or, shown, closes) the list of lines under the Port button.
    void ChoosePort();
    // Asks for a serial device's path and opens it at the rate in use.
    bool ChooseDevicePath();
    // Shows (or, shown, closes) the list of baud rates under the Port button.
    void ChooseBaudRate();
    // Reopens the session on the line, remembers it in the settings and connects;
    // false when the line cannot be opened or the board does not answer.
    bool ChooseLine(const CLineChoice& choice);
    // The list of lines, or of baud rates, under the Port button while it is shown,
    // else null.
    CPortList* PortListWindow();
    CBaudList* BaudListWindow();
    // Switches the memory grid between the internal RAM and the external page.
    void ToggleMemoryPage();
    MemoryKind MemoryPage() const { return m_memoryPage; }
    // Shows the external page from address in the memory grid, read from the board at
    // once when it is stopped, else at the next stop. The field after the XDATA button
    // takes the address (Enter).
    bool ShowExternalPage(WORD address);

    // Tells of the stop the board thread last reported.
    void ShowStop();
    // Brings the experiment, the log and the caret pane up to date (the window's timer
    // calls it).
    void Tick();

    CSourceView& Editor() { return m_editor; }
    CTextBuf& Source() { return m_document.Buffer(); }
    COutputView& Output() { return m_output; }
    CTextBuf& OutputText() { return m_outputText; }
    CListingView& Listing() { return m_listing; }
    CTextBuf& ListingText() { return m_listingText; }
    const CProgramListing& ProgramListing() const { return m_programListing; }
    CTextView& Log() { return m_log; }
    CTextBuf& LogText() { return m_logText; }
    CRegisterGrid& Registers() { return m_registers; }
    CSourceMargin& Margin() { return m_margin; }
    CCallStackView& CallStack() { return m_callStack; }
    CWatchGrid& Watches() { return m_watches; }
    CMemoryGrid& Memory() { return m_memory; }
    CExperimentPanel& Panel() { return m_panel; }
    // The Device and Terminal tabs: the virtual board's devices and its program's UART.
    CBoardPanes& BoardPanes() { return m_boardPanes; }
    CStatusBar& StatusBar() { return m_status; }
    const CProgramBuildResult& LastBuild() const { return m_program.Result(); }
    const CBuiltProgram& Program() const { return m_program; }
    // The code address of a line (from 1) of the source shown, as it is now: its line
    // as last built, followed through the edits since.
    std::optional<WORD> AddressOfSourceLine(int line) const;
    // The reset prompt while it is shown, else null.
    CResetPromptDialog* ResetPromptWindow() { return m_prompt; }
    // The path prompt of Open or Save As while it is shown, else null.
    CPathPromptDialog* PathPromptWindow() { return m_pathPrompt; }
    CMenuBar& MenuBar() { return m_menuBar; }
    CStudioLayout& Layout() { return m_layout; }
    const std::filesystem::path& SourcePath() const { return m_document.Path(); }

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
    // Sends job to the board thread; done hears of its result and error on this thread.
    void Ask(std::function<bool(CDebugSession&)> job, std::function<void(bool, const std::string&)> done);
    void OnBoardView();
    bool StoppedSince(int stops) const;
    void SyncLinkState();
    void ShowProgress(std::size_t sent, std::size_t total, DWORD elapsedMs);
    void Tell(const std::string& utf8);
    void ShowOutput(const std::string& text);
    void ShowListing();
    void ShowBoard();
    void ShowMemory();
    void MarkBreakpoints();
    void MarkPc();
    // The margin's marks for the source shown, and the C program's stop views.
    void MarkSource();
    // The file of the source shown, as the build names it.
    std::filesystem::path ShownSource() const;
    void ShowSourceStop();
    // Shows another source of the program in the editor (a message's, the stop's).
    bool ShowProgramSource(const std::filesystem::path& path);
    bool LoadDocument(const std::filesystem::path& path);
    bool StepSource(SourceStep step, const char* what);
    // Moves the breakpoints on source lines to where those lines' code is after a rebuild.
    void KeepBreakpoints(const CBuiltProgram& before);
    std::optional<std::string> ListingHeading(WORD address);
    void JumpToMessage(int outputLine);
    void OnListingMargin(int line);
    void SyncResetPrompt();
    void RefreshLog();
    void UpdateCaretPane();
    // The code address the cursor stands on: in the listing its line's, in the editor
    // its source line's; nothing when there is none.
    std::optional<WORD> CursorAddress();
    bool Failed(const std::string& what);
    bool ShowTypedExternalPage();
    // Asks for a path; accept runs the command and says whether the prompt may close.
    void PromptForPath(const std::string& purpose, const std::filesystem::path& initial,
                       std::function<bool(const std::filesystem::path&)> accept);
    void ClosePathPrompt();
    // False (and a message) the first time a command would discard unsaved edits.
    bool MayDiscardEdits(UINT command, const char* again);
    // Closes the open menu or the Port list when a click lands outside it; true when the
    // click is used up by that.
    bool CloseDropDownsOutside(HWND target);
    bool CloseDropDowns();
    // Shows list under the Port button in place of the one there; `what` names it in
    // the message when it cannot be shown.
    void ShowLineList(std::unique_ptr<CDropDownList> list, const char* failure);
    CDropDownList* LineListWindow();
    bool MenuKey(UINT key);

    CSourceDocument m_document;
    CTextBuf m_outputText, m_listingText, m_logText;
    CSourceView m_editor;
    COutputView m_output;
    CListingView m_listing;
    CTextView m_log;
    CRegisterGrid m_registers;
    CSourceMargin m_margin;
    CCallStackView m_callStack;
    CWatchGrid m_watches;
    CMemoryGrid m_memory;
    CExperimentPanel m_panel;
    CBoardPanes m_boardPanes;
    CStatusBar m_status;
    std::vector<std::unique_ptr<CWnd>> m_buttons;
    CWnd m_pageField;
    CMenuBar m_menuBar;
    CStudioLayout m_layout;
    CResetPromptDialog* m_prompt = nullptr;
    CPathPromptDialog* m_pathPrompt = nullptr;
    // The command that was refused for discarding unsaved edits, and may now.
    std::optional<UINT> m_discardAsked;
    // The Port or baud rate list, kept hidden after a choice until the next list: it
    // cannot go while its click runs.
    std::unique_ptr<CDropDownList> m_lineList;
    CTextView* m_caretSource = nullptr;
    tools::CScratchDirectory m_buildDirectory{"zorstudio-build-"};
    CBuiltProgram m_program;
    std::filesystem::path m_projectPath;
    // The program downloaded is a C program: steps go by C line.
    bool m_downloadedC = false;
    const CSourceStop* m_sourceShown = nullptr;
    CProgramListing m_programListing;
    int m_pcLine = -1;
    int m_listedCode = -1;   // the code generation the listing shows
    int m_stopsShown = 0;
    LinkState m_lastState = LinkState::Closed;  // as the last view showed it
    MemoryKind m_memoryPage = MemoryKind::Internal;
    std::string m_logShown;
    int m_requests = 0;
    // Set while a download runs: the flag that cancels it.
    std::shared_ptr<std::atomic<bool>> m_downloadCancel;
    // Last, so that it ends (and drops its replies) while the views still exist.
    CBoardThread m_board;
};

}
