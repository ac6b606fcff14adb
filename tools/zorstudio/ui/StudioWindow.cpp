#include "tools/zorstudio/ui/StudioWindow.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <utility>

#include "tools/common/Numbers.h"
#include "tools/common/ShellText.h"
#include "tools/zorstudio/ui/StudioCommands.h"
#include "tools/zorstudio/StudioSettings.h"
#include "tools/zorstudio/CommLogText.h"
#include "tools/zorstudio/TextLines.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/core/AtomicFileWriter.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {

constexpr std::uintptr_t kTickTimer = 1;
constexpr UINT kTickMs = 100;
constexpr int kButtonWidth = 84;
constexpr int kLinkPaneWidth = 220;
constexpr int kCaretPaneWidth = 120;
constexpr int kPageFieldWidth = 56;
// The listing is never narrower than a line of this many characters.
constexpr int kListingChars = 32;
constexpr std::size_t kLogBytes = 16384;

bool IsButtonDown(UINT message)
{
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN: return true;
    default: return false;
    }
}

}

CStudioWindow::CStudioWindow()
    : m_panel(m_board), m_status({kLinkPaneWidth, kCaretPaneWidth}), m_menuBar(StudioMenus()), m_layout(*this),
      m_requests(m_board, m_status), m_prompter(*this, m_requests), m_files(*this, m_editor, m_prompter, m_requests),
      m_lines(*this, m_menuBar, m_prompter, m_requests), m_memoryPages(*this, m_requests),
      m_sourceDebugger(*this, m_editor, m_files, m_program, m_requests)
{
    m_editor.onEdit = [this](const CUpdateContext& edit) {
        m_files.Document().Follow(edit);
        m_sourceDebugger.MarkSource();
    };
    m_files.onOpened = [this] { m_program = CBuiltProgram{}; };
    m_files.onShown = [this] { m_sourceDebugger.MarkSource(); };
    m_lines.onLinkChanged = [this] { SyncLinkState(); };
    m_sourceDebugger.onTraced = [this] { ShowStop(); };
}

CStudioWindow::~CStudioWindow()
{
    if (m_hWnd)
        DestroyWindow();
}

const CMessageMap* CStudioWindow::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_CREATE>(&CStudioWindow::OnCreate),
        zorkit::MapMessage<WM_DESTROY>(&CStudioWindow::OnDestroy),
        zorkit::MapMessage<WM_TIMER>(&CStudioWindow::OnTimer),
        zorkit::MapMessage<WM_SIZE>(&CStudioWindow::OnSize),
        zorkit::MapMessage<WM_PAINT>(&CStudioWindow::OnPaint),
        zorkit::MapCommandRange(IdSave, IdStepOut, &CStudioWindow::OnCommandButton),
    });
    return &map;
}

const CMessageMap* CStudioWindow::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CStudioWindow::CreateMain(const CRect& rect)
{
    static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
    return CreateEx(0, cls, "zorstudio", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect, nullptr, 0);
}

int CStudioWindow::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    CFont* guiFont = CFont::FromHandle(HFONT(GetStockObject(DEFAULT_GUI_FONT)));
    m_menuBar.isEnabled = [this](UINT command) { return CanRun(command); };
    if (!m_menuBar.Create(this, CRect(0, 0, kWidth, CMenuBar::kHeight), IdMenuBar, IdMenuList))
        return -1;
    std::vector<const CStudioCommand*> buttons;
    for (const CStudioCommand& command : StudioCommands())
        if (command.button)
            buttons.push_back(&command);
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->id < b->id; });
    for (const CStudioCommand* command : buttons) {
        auto button = std::make_unique<CWnd>();
        if (!button->CreateEx(0, "BUTTON", TrGbk(command->button).c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 1, 1),
                              this, command->id))
            return -1;
        button->SetFont(guiFont);
        m_buttons.push_back(std::move(button));
    }
    if (!m_memoryPages.Create(guiFont))
        return -1;
    const CRect none(0, 0, 1, 1);
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_BORDER;
    if (!m_editor.Create(nullptr, "source", child, none, this, IdEditor) ||
        !m_output.Create(nullptr, "output", child, none, this, IdOutput) ||
        !m_listing.Create(nullptr, "listing", child, none, this, IdListing) ||
        !m_log.Create(nullptr, "log", child, none, this, IdLog) || !m_registers.Create(none, this, IdRegisters) ||
        !m_panel.Create(this, CRect(0, 0, kWidth, CExperimentPanel::kHeight), IdPanel) ||
        !m_status.Create(this, none, IdStatus) || !m_boardPanes.Create(this, IdBoardPanel, IdTerminal) ||
        !m_sourceDebugger.Create())
        return -1;
    m_editor.AttachToBuffer(&Source());
    for (CTextBuf* readOnly : {&m_outputText, &m_listingText, &m_logText}) {
        readOnly->InitNew();
        readOnly->SetReadOnly(TRUE);
    }
    m_output.AttachToBuffer(&m_outputText);
    m_listing.AttachToBuffer(&m_listingText);
    m_log.AttachToBuffer(&m_logText);
    m_caretSource = &m_editor;

    m_listing.onMarginClick = [this](int line) { OnListingMargin(line); };
    m_output.onLineChosen = [this](int line) { JumpToMessage(line); };
    Margin().onLineClick = [this](int line) { ToggleBreakpointAtLine(line); };
    m_registers.onWrite = [this](const CRegisterField& field, unsigned value) {
        m_requests.Ask([field, value](CDebugSession& s) { return s.WriteRegister(field, value); },
            [this, field, value](bool ok, const std::string& error) {
                ok ? m_requests.Tell(Tr("{1} := {2}, read back from the board", {field.name, tools::Hex(value, 2 * field.size)}))
                   : void(m_requests.Failed(error));
            });
        return true;
    };
    m_panel.onMessage = [this](const std::string& text) { m_requests.Tell(text); };
    std::vector<std::pair<CWnd*, int>> row;
    for (auto& button : m_buttons)
        row.push_back({button.get(), kButtonWidth});
    row.push_back({&m_memoryPages.PageField(), kPageFieldWidth});
    m_layout.SetButtonRow(std::move(row));
    m_layout.SetChrome(&m_menuBar, &m_status);
    m_layout.Attach(Pane::Editor, &m_editor);
    m_layout.Attach(Pane::SourceMargin, &Margin());
    m_layout.Attach(Pane::Listing, &m_listing);
    m_layout.Attach(Pane::Registers, &m_registers);
    m_layout.Attach(Pane::Memory, &Memory());
    m_layout.Attach(Pane::Output, &m_output);
    m_layout.Attach(Pane::Log, &m_log);
    m_layout.Attach(Pane::CallStack, &CallStack());
    m_layout.Attach(Pane::Watch, &Watches());
    m_layout.Attach(Pane::Experiment, &m_panel);
    m_layout.Attach(Pane::DevicePanel, &m_boardPanes.Panel());
    m_layout.Attach(Pane::Terminal, &m_boardPanes.Terminal());
    m_layout.SetSizes(LoadLayoutSizes());
    m_layout.wants = [this] { return PaneWants(); };
    m_layout.onChanged = [](const CLayoutSizes& sizes) { SaveLayoutSizes(sizes); };
    if (!m_layout.Create(IdLayout))
        return -1;
    m_board.onView = [this] { OnBoardView(); };
    OnBoardView();
    m_layout.Arrange();
    SetTimer(kTickTimer, kTickMs);
    m_requests.Tell(Tr("ready"));
    Tick();
    return 0;
}

void CStudioWindow::OnDestroy()
{
    KillTimer(kTickTimer);
    m_board.onView = {};
    // Prompts still shown went before this message (owned windows go first), and
    // their pointers with them.
    m_lines.CloseResetPrompt();
    m_prompter.Close();
    CWnd::OnDestroy();
}

void CStudioWindow::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    m_layout.Arrange();
}

CLayoutWants CStudioWindow::PaneWants()
{
    // Room for the borders, the scroll bar and a character to spare.
    const int frame = 2 * GetSystemMetrics(SM_CXBORDER) + GetSystemMetrics(SM_CXVSCROLL);
    CLayoutWants wants;
    wants.marginWidth = CSourceMargin::kWidth;
    const int shortest = kListingChars * m_listing.GetCharWidthA();
    wants.listingWidth = m_listing.GetMarginWidth() + std::max(shortest, m_listing.GetMaxLineExtent()) +
                         m_listing.GetCharWidthA() + frame;
    wants.rightWidth = int(Memory().GetVirtualWidth()) + frame;
    wants.registerHeight = int(m_registers.GetVirtualHeight()) + 2 * GetSystemMetrics(SM_CYBORDER);
    wants.tallHeight = CExperimentPanel::kHeight;
    return wants;
}

void CStudioWindow::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
}

void CStudioWindow::OnTimer(UINT id)
{
    if (id == kTickTimer)
        Tick();
}

void CStudioWindow::OnCommandButton(UINT id)
{
    // Asking again means asking next: any other command first forgets the refusal.
    m_files.CommandRuns(id);
    if (const CStudioCommand* command = FindStudioCommand(id))
        command->run(*this);
}

BOOL CStudioWindow::PreTranslateMessage(MSG* msg)
{
    if (IsButtonDown(msg->message) && CloseDropDownsOutside(msg->hwnd))
        return TRUE;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return CWnd::PreTranslateMessage(msg);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = (msg->lParam & (LPARAM(1) << 29)) != 0;
    if (alt && msg->message == WM_SYSKEYDOWN) {
        for (std::size_t i = 0; i < m_menuBar.Menus().size(); ++i)
            if (const CMenu& menu = m_menuBar.Menus()[i]; UINT(menu.accessKey ? menu.accessKey : menu.title[0]) == msg->wParam) {
                m_menuBar.Open(i);
                return TRUE;
            }
    }
    if (MenuKey(UINT(msg->wParam)))
        return TRUE;
    switch (msg->wParam) {
    case VK_RETURN:
        if (CWnd::GetFocus() != &m_memoryPages.PageField())
            break;
        m_memoryPages.ShowTypedExternalPage();
        return TRUE;
    case VK_ESCAPE:
        if (CloseDropDowns())
            return TRUE;
        if (Downloading()) {
            CancelDownload();
            return TRUE;
        }
        if (!m_lines.ResetPromptWindow())
            break;
        m_lines.CancelReset();
        return TRUE;
    default:
        if (const CStudioCommand* command = StudioCommandOfKey(UINT(msg->wParam), ctrl)) {
            command->run(*this);
            return TRUE;
        }
        break;
    }
    return CWnd::PreTranslateMessage(msg);
}

bool CStudioWindow::Exit()
{
    if (!m_files.MayDiscardEdits(IdExit, N_("Exit")))
        return false;
    DestroyWindow();
    return true;
}

bool CStudioWindow::CanRun(UINT command) const
{
    const CStudioCommand* found = FindStudioCommand(command);
    return !found || !found->enabled || found->enabled(*this);
}

bool CStudioWindow::CloseDropDownsOutside(HWND target)
{
    auto inside = [target](CWnd* list) { return target == list->m_hWnd || ::IsChild(list->m_hWnd, target); };
    bool used = false;
    if (CDropDownList* menu = m_menuBar.OpenList(); menu && !inside(menu) && target != m_menuBar.m_hWnd) {
        m_menuBar.Close();
        used = true;
    }
    if (CDropDownList* lines = m_lines.ListWindow(); lines && !inside(lines)) {
        lines->ShowWindow(SW_HIDE);
        // The menu bar takes its click: a title opens its menu at once.
        used = used || target != m_menuBar.m_hWnd;
    }
    return used;
}

bool CStudioWindow::CloseDropDowns()
{
    bool closed = false;
    if (m_menuBar.OpenList()) {
        m_menuBar.Close();
        closed = true;
    }
    return m_lines.HideList() || closed;
}

bool CStudioWindow::MenuKey(UINT key)
{
    const auto open = m_menuBar.OpenMenu();
    CDropDownList* list = m_menuBar.OpenList();
    if (!open || !list)
        return false;
    const std::size_t menus = m_menuBar.Menus().size();
    switch (key) {
    case VK_UP: list->MoveHot(-1); return true;
    case VK_DOWN: list->MoveHot(1); return true;
    case VK_LEFT: m_menuBar.Open((*open + menus - 1) % menus); return true;
    case VK_RIGHT: m_menuBar.Open((*open + 1) % menus); return true;
    case VK_RETURN: list->ChooseHot(); return true;
    default: return false;
    }
}

bool CStudioWindow::Build()
{
    const CSourceDocument& document = m_files.Document();
    CProgramProject project;
    if (!m_files.ProjectPath().empty()) {
        if (!project.Load(m_files.ProjectPath()))
            return m_requests.Failed(project.error);
    } else {
        project = CProgramProject::OfSource(document.Path().empty() ? std::filesystem::path(document.Name()) : document.Path());
    }
    // The build reads files: unsaved text is built from a copy, as its source's own.
    std::filesystem::path copy;
    if (document.Path().empty() || document.IsModified()) {
        copy = m_buildDirectory.Path() / "edited" / document.Name();
        std::error_code error;
        std::filesystem::create_directories(copy.parent_path(), error);
        if (auto why = document.WriteCopy(copy))
            return m_requests.Failed(*why);
        if (document.Path().empty())
            project.sources = {copy};
        for (std::filesystem::path& source : project.sources)
            if (SameSource(source, document.Path()))
                source = copy;
    }
    const std::string name = (m_files.ProjectPath().empty() ? std::filesystem::path(document.Name()) : m_files.ProjectPath()).filename().string();
    CProgramBuildResult result = BuildProgram(project, m_buildDirectory.Path() / "out");
    if (!copy.empty() && !document.Path().empty())
        RenameSource(result, copy, document.Path());
    const CBuiltProgram before = std::move(m_program);
    m_program = CBuiltProgram(std::move(result));
    std::vector<std::string> lines;
    for (const CBuildMessage& m : LastBuild().messages)
        lines.push_back(zorkit::GbkFromUtf8(m.file + ":" + std::to_string(m.line) + ": " + m.text));
    const std::size_t bytes = LastBuild().CodeBytes();
    lines.push_back(zorkit::GbkFromUtf8(LastBuild().ok ? Tr("{1}: {2} bytes of code", {name, std::to_string(bytes)})
                                                       : Tr("{1}: the build failed", {name})));
    FillBuffer(m_outputText, lines);
    m_output.UpdateWindow();
    if (!LastBuild().ok)
        return m_requests.Failed(LastBuild().messages.empty() ? Tr("the build failed") : LastBuild().messages.front().text);
    m_sourceDebugger.KeepBreakpoints(before);
    m_files.MarkBuilt();
    m_sourceDebugger.MarkSource();
    m_requests.Tell(Tr("built {1} bytes; Download sends them to the board", {std::to_string(bytes)}));
    return true;
}

bool CStudioWindow::ToggleBreakpointAtLine(int line)
{
    m_caretSource = &m_editor;
    m_editor.SetCursorPos(CPoint(0, line));
    if (!m_program.Ok())
        return m_requests.Failed(Tr("build the program first: a breakpoint goes on a line's code"));
    const auto address = m_sourceDebugger.AddressOfSourceLine(line + 1);
    if (!address)
        return m_requests.Failed(Tr("line {1} has no code", {std::to_string(line + 1)}));
    return ToggleBreakpoint(*address);
}

std::optional<std::string> CStudioWindow::ListingHeading(WORD address)
{
    const CSourceDocument& document = m_files.Document();
    const auto place = m_program.CLineStartingAt(address);
    if (!place)
        return std::nullopt;
    // The editor holds GBK; a file on disk is taken for UTF-8.
    const bool shown = SameSource(place->file, document.Path());
    const std::vector<std::string> lines = SplitLines(shown ? document.Text() : tools::ReadWholeFile(place->file));
    std::string text = place->line <= int(lines.size()) ? lines[std::size_t(place->line - 1)] : "";
    if (!shown)
        text = zorkit::GbkFromUtf8(text);
    const std::size_t start = text.find_first_not_of(" \t");
    text = start == std::string::npos ? "" : text.substr(start);
    return "      " + place->file.filename().string() + ":" + std::to_string(place->line) + ": " + text;
}

bool CStudioWindow::Download()
{
    if (!LastBuild().ok)
        return m_requests.Failed(Tr("nothing built to download"));
    if (Downloading())
        return m_requests.Failed(Tr("a download is under way"));
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_downloadCancel = cancel;
    m_pcLine = -1;
    const DWORD start = GetTickCount();
    m_requests.Tell(Tr("downloading; Escape or Cancel stops it"));
    const std::shared_ptr<const cdebug::CDebugInfo> info = m_program.SharedDebugInfo();
    m_sourceDebugger.SetDownloaded(info != nullptr);
    m_requests.Ask(
        [this, hex = LastBuild().hex, entry = LastBuild().entry, info, cancel, start](CDebugSession& s) {
            const bool sent = s.Download(hex, [&](std::size_t done, std::size_t total) {
                m_board.ToOwner([this, done, total, start] { ShowProgress(done, total, GetTickCount() - start); });
                return !cancel->load();
            }, entry);
            if (sent)
                s.SetDebugInfo(info);
            // What the board holds before the run: the first stop is compared with it.
            return sent && s.Refresh();
        },
        [this](bool ok, const std::string& error) {
            m_downloadCancel.reset();
            if (!ok)
                return void(m_requests.Failed(error));
            m_requests.Tell(Tr("downloaded; F5 runs from {1}", {tools::Hex(*View().entry, 4)}));
        });
    return true;
}

void CStudioWindow::ShowProgress(std::size_t sent, std::size_t total, DWORD elapsedMs)
{
    if (!m_downloadCancel || total == 0)
        return;
    const unsigned percent = unsigned(sent * 100 / total);
    const unsigned left = sent ? unsigned(double(elapsedMs) * double(total - sent) / double(sent) / 1000.0 + 0.5) : 0;
    m_requests.Tell(Tr("downloading {1}% ({2} of {3} bytes), {4} s left; Escape or Cancel stops it",
            {std::to_string(percent), std::to_string(sent), std::to_string(total), std::to_string(left)}));
}

bool CStudioWindow::CancelDownload()
{
    if (!m_downloadCancel)
        return m_requests.Failed(Tr("no download to cancel"));
    m_downloadCancel->store(true);
    m_requests.Tell(Tr("cancelling the download after the frame under way"));
    return true;
}

bool CStudioWindow::StoppedSince(int stops) const
{
    // A quick board reports the stop before the start is answered: the stop is news.
    return View().stopsHandled != stops;
}

void CStudioWindow::OnBoardView()
{
    const CBoardView& view = View();
    if (view.codeGeneration != m_listedCode) {
        m_listedCode = view.codeGeneration;
        ShowListing();
    }
    MarkBreakpoints();
    ShowBoard();
    m_boardPanes.Follow(view);
    m_sourceDebugger.ShowSourceStop();
    m_sourceDebugger.MarkSource();
    if (view.stopsHandled != m_stopsShown && !view.memoryPending) {
        m_stopsShown = view.stopsHandled;
        ShowStop();
    }
    SyncLinkState();
}

void CStudioWindow::ShowListing()
{
    m_programListing = CProgramListing(*View().code, [this](WORD address) { return ListingHeading(address); });
    std::vector<std::string> lines;
    for (const CListingLine& line : m_programListing.Lines())
        lines.push_back(line.text);
    FillBuffer(m_listingText, lines);
    m_layout.Arrange();
    m_pcLine = -1;
    MarkBreakpoints();
    MarkPc();
}

void CStudioWindow::MarkBreakpoints()
{
    const auto& lines = m_programListing.Lines();
    for (std::size_t i = 0; i < lines.size(); ++i)
        m_listingText.SetLineFlags(int(i), LINEMARK_DOT, lines[i].length > 0 && View().IsBreakpoint(lines[i].address));
}

void CStudioWindow::MarkPc()
{
    if (m_pcLine >= 0 && m_pcLine < m_listingText.GetLineCount())
        m_listingText.SetLineFlags(m_pcLine, LINEMARK_ARROW, FALSE);
    const CTargetSnapshot& now = View().current;
    m_pcLine = now.valid ? m_programListing.LineOf(now.pc) : -1;
    if (m_pcLine < 0)
        return;
    m_listingText.SetLineFlags(m_pcLine, LINEMARK_ARROW, TRUE);
    m_listing.EnsureVisible(CPoint(0, m_pcLine));
}

bool CStudioWindow::Run()
{
    const auto from = View().runStart;
    if (!from)
        return m_requests.Failed(Tr("download a program first"));
    const bool free = View().breakpoints.empty();
    const int stops = View().stopsHandled;
    m_requests.Ask([](CDebugSession& s) { return s.RunProgram(); },
        [this, from, free, stops](bool ok, const std::string& error) {
            if (!ok)
                return void(m_requests.Failed(error));
            if (StoppedSince(stops))
                return;
            m_requests.Tell(Tr(free ? N_("running from {1}; no breakpoint stops it: Reset ends the run") : N_("running from {1}"),
                    {tools::Hex(*from, 4)}));
        });
    return true;
}

std::optional<WORD> CStudioWindow::CursorAddress()
{
    if (m_caretSource == &m_listing) {
        const int line = m_listing.GetCursorPos().y;
        if (line >= 0 && line < int(m_programListing.Lines().size()))
            return m_programListing.Lines()[std::size_t(line)].address;
        return std::nullopt;
    }
    if (m_caretSource == &m_editor)
        return m_sourceDebugger.AddressOfSourceLine(m_editor.GetCursorPos().y + 1);
    return std::nullopt;
}

bool CStudioWindow::ToggleBreakpointAtCursor()
{
    const auto address = CursorAddress();
    if (!address)
        return m_requests.Failed(Tr("the cursor is on no instruction"));
    return ToggleBreakpoint(*address);
}

bool CStudioWindow::ToggleBreakpoint(WORD address)
{
    m_requests.Ask([address](CDebugSession& s) { return s.ToggleBreakpoint(address); },
        [this, address](bool ok, const std::string& error) {
            if (!ok)
                return void(m_requests.Failed(error));
            if (const int line = m_programListing.LineOf(address); line >= 0)
                m_listing.EnsureVisible(CPoint(0, line));
            m_requests.Tell(Tr(View().IsBreakpoint(address) ? N_("breakpoint at {1}") : N_("no breakpoint at {1}"), {tools::Hex(address, 4)}));
        });
    return true;
}

void CStudioWindow::OnListingMargin(int line)
{
    m_caretSource = &m_listing;
    if (line >= 0 && line < int(m_programListing.Lines().size()))
        ToggleBreakpoint(m_programListing.Lines()[std::size_t(line)].address);
}

bool CStudioWindow::RunToCursor()
{
    const auto address = CursorAddress();
    if (!address)
        return m_requests.Failed(Tr("the cursor is on no instruction"));
    const int stops = View().stopsHandled;
    m_requests.Ask([address](CDebugSession& s) { return s.RunToCursor(*address); },
        [this, address, stops](bool ok, const std::string& error) {
            if (!ok)
                m_requests.Failed(error);
            else if (!StoppedSince(stops))
                m_requests.Tell(Tr("running to {1}", {tools::Hex(*address, 4)}));
        });
    return true;
}

bool CStudioWindow::ToggleCopyRun()
{
    if (!View().entry)
        return m_requests.Failed(Tr("download a program first"));
    const bool on = !View().copyRun;
    m_requests.Ask([on](CDebugSession& s) { return s.SetCopyRun(on); }, [this, on](bool ok, const std::string& error) {
        if (!ok)
            return void(m_requests.Failed(error));
        m_requests.Tell(Tr(on ? N_("copy-run: the program restarts at every stop") : N_("copy-run ends at the next stop")));
    });
    return true;
}

void CStudioWindow::ShowBoard()
{
    const CTargetSnapshot& now = View().current;
    m_registers.Show(now, View().changes.registers);
    m_registers.UpdateWindow();
    // At a stop the registers come first; the memory follows with the next view.
    if (!View().memoryPending) {
        m_memoryPages.Show();
        Memory().UpdateWindow();
    }
    MarkPc();
    m_listing.UpdateWindow();
}

void CStudioWindow::ShowStop()
{
    const CBoardView& view = View();
    const CTargetSnapshot& now = view.current;
    if (view.copyRun)
        // The program has restarted: the board cannot be read until copy-run ends.
        m_requests.Tell(Tr("copy-run: stop {1}, restarted at {2}", {std::to_string(view.copyRunStops), tools::Hex(*view.entry, 4)}));
    else if (const auto place = m_program.Ok() && now.valid ? m_program.PlaceAt(now.pc) : std::nullopt; place && m_sourceDebugger.DownloadedC())
        m_requests.Tell(Tr("stopped at {1}:{2} ({3})", {place->file.filename().string(), std::to_string(place->line), tools::Hex(now.pc, 4)}));
    else if (now.valid)
        m_requests.Tell(Tr("stopped at {1}", {tools::Hex(now.pc, 4)}));
    else
        m_requests.Tell(Tr("stopped"));
}

void CStudioWindow::Tick()
{
    m_panel.Poll();
    SyncLinkState();
    RefreshLog();
    UpdateCaretPane();
}

void CStudioWindow::SyncLinkState()
{
    const LinkState state = View().state;
    m_status.SetPaneText(kLinkPane, TrGbk("link: {1}", {Tr(LinkStateName(state))}));
    if (state == LinkState::AdapterGone && m_lastState != LinkState::AdapterGone)
        m_requests.Tell(View().adapterGoneText);
    m_lastState = state;
    m_lines.SyncResetPrompt();
}

void CStudioWindow::RefreshLog()
{
    // The link's state heads the log, which the link writes as it talks to the board.
    const CLineChoice& line = View().line;
    std::string log = Tr("link: {1}, {2} at {3} baud", {Tr(LinkStateName(View().state)),
                                                       line.IsVirtual() ? Tr("virtual board") : line.device,
                                                       std::to_string(line.baud)}) +
                      "\n" + ReadCommLog(CCommPort::GetLogPath(), kLogBytes);
    if (log == m_logShown)
        return;
    m_logShown = std::move(log);
    std::vector<std::string> lines = SplitLines(m_logShown);
    for (std::string& line : lines)
        line = zorkit::GbkFromUtf8(line);
    FillBuffer(m_logText, lines);
    m_log.EnsureVisible(CPoint(0, m_logText.GetLineCount() - 1));
}

void CStudioWindow::UpdateCaretPane()
{
    CWnd* focus = CWnd::GetFocus();
    for (CTextView* view : {static_cast<CTextView*>(&m_editor), static_cast<CTextView*>(&m_listing),
                            static_cast<CTextView*>(&m_output), &m_log})
        if (focus == view)
            m_caretSource = view;
    CCmdUI ui;
    ui.m_nID = ID_INDICATOR_CARET;
    if (m_caretSource && ui.DoUpdate(m_caretSource, FALSE) && ui.m_bTextChanged)
        m_status.SetPaneText(kCaretPane, ui.m_strText.str());
}

void CStudioWindow::JumpToMessage(int outputLine)
{
    const CSourceDocument& document = m_files.Document();
    const auto& messages = LastBuild().messages;
    if (outputLine < 0 || outputLine >= int(messages.size()))
        return;
    const CBuildMessage& message = messages[std::size_t(outputLine)];
    const int line = message.line;
    if (line < 1)
        return;
    // A message about another source of the program shows that source.
    if (!message.file.empty() && !document.Path().empty() && !SameSource(message.file, document.Path()) &&
        std::filesystem::exists(message.file) && !m_files.ShowProgramSource(message.file))
        return;
    if (line > document.Buffer().GetLineCount())
        return;
    m_editor.SetFocus();
    m_editor.SetCursorPos(CPoint(0, line - 1));
    m_caretSource = &m_editor;
    UpdateCaretPane();
}

}
