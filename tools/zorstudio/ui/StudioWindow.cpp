#include "tools/zorstudio/ui/StudioWindow.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "tools/common/Numbers.h"
#include "tools/common/ShellText.h"
#include "tools/zorstudio/ui/HexCell.h"
#include "tools/zorstudio/ui/PathPromptDialog.h"
#include "tools/zorstudio/ui/ResetPromptDialog.h"
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
constexpr int kLineListWidth = 360;
constexpr int kPageFieldWidth = 56;
// The listing is never narrower than a line of this many characters.
constexpr int kListingChars = 32;
constexpr std::size_t kLogBytes = 16384;
constexpr int kMemoryRows = CDebugSession::kInternalRamSize / CMemoryGrid::kBytesPerRow;

// A typed path: a leading ~/ is the home directory, a relative path is taken from
// the current directory.
std::filesystem::path TypedPath(const std::string& utf8)
{
    const char* home = std::getenv("HOME");
    if (utf8.rfind("~/", 0) == 0 && home && home[0])
        return std::filesystem::path(home) / utf8.substr(2);
    return utf8;
}

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
    : m_memory(kMemoryRows), m_panel(m_board), m_status({kLinkPaneWidth, kCaretPaneWidth}),
      m_menuBar(StudioMenus()), m_layout(*this)
{
    m_editor.onEdit = [this](const CUpdateContext& edit) {
        m_document.Follow(edit);
        MarkSource();
    };
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
    if (!m_pageField.CreateEx(0, "EDIT", "0000", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 1, 1), this,
                              IdExternalPage))
        return -1;
    m_pageField.SetFont(guiFont);
    const CRect none(0, 0, 1, 1);
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_BORDER;
    if (!m_editor.Create(nullptr, "source", child, none, this, IdEditor) ||
        !m_output.Create(nullptr, "output", child, none, this, IdOutput) ||
        !m_listing.Create(nullptr, "listing", child, none, this, IdListing) ||
        !m_log.Create(nullptr, "log", child, none, this, IdLog) || !m_registers.Create(none, this, IdRegisters) ||
        !m_memory.Create(none, this, IdMemory) || !m_panel.Create(this, CRect(0, 0, kWidth, CExperimentPanel::kHeight), IdPanel) ||
        !m_status.Create(this, none, IdStatus) || !m_boardPanes.Create(this, IdBoardPanel, IdTerminal) ||
        !m_margin.Create(this, m_editor, IdSourceMargin) || !m_callStack.Create(this, IdCallStack) ||
        !m_watches.Create(none, this, IdWatches))
        return -1;
    m_editor.AttachToBuffer(&m_document.Buffer());
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
    m_margin.onLineClick = [this](int line) { ToggleBreakpointAtLine(line); };
    m_callStack.onFrameChosen = [this](std::size_t frame) {
        Ask([frame](CDebugSession& s) { return s.SelectFrame(frame); }, [this, frame](bool ok, const std::string& error) {
            ok ? Tell("the watches show frame " + std::to_string(frame)) : void(Failed(error));
        });
    };
    m_watches.onWrite = [this](const std::string& name, const std::string& value) {
        Ask([name, value](CDebugSession& s) { return s.WriteVariable(name, value); },
            [this, name, value](bool ok, const std::string& error) {
                ok ? Tell(name + " := " + value + ", read back from the board") : void(Failed(error));
            });
        return true;
    };
    m_registers.onWrite = [this](const CRegisterField& field, unsigned value) {
        Ask([field, value](CDebugSession& s) { return s.WriteRegister(field, value); },
            [this, field, value](bool ok, const std::string& error) {
                ok ? Tell(Tr("{1} := {2}, read back from the board", {field.name, tools::Hex(value, 2 * field.size)}))
                   : void(Failed(error));
            });
        return true;
    };
    m_memory.onWrite = [this](WORD address, BYTE value) {
        const MemoryKind kind = m_memoryPage;
        Ask([kind, address, value](CDebugSession& s) { return s.WriteMemory(kind, address, value); },
            [this, kind, address, value](bool ok, const std::string& error) {
                if (!ok)
                    return void(Failed(error));
                const bool internal = kind == MemoryKind::Internal;
                Tell(Tr(internal ? N_("{1}H := {2}, read back from the board") : N_("XDATA {1}H := {2}, read back from the board"),
                        {tools::Hex(address, internal ? 2 : 4), tools::Hex(value, 2)}));
            });
        return true;
    };
    m_panel.onMessage = [this](const std::string& text) { Tell(text); };
    std::vector<std::pair<CWnd*, int>> row;
    for (auto& button : m_buttons)
        row.push_back({button.get(), kButtonWidth});
    row.push_back({&m_pageField, kPageFieldWidth});
    m_layout.SetButtonRow(std::move(row));
    m_layout.SetChrome(&m_menuBar, &m_status);
    m_layout.Attach(Pane::Editor, &m_editor);
    m_layout.Attach(Pane::SourceMargin, &m_margin);
    m_layout.Attach(Pane::Listing, &m_listing);
    m_layout.Attach(Pane::Registers, &m_registers);
    m_layout.Attach(Pane::Memory, &m_memory);
    m_layout.Attach(Pane::Output, &m_output);
    m_layout.Attach(Pane::Log, &m_log);
    m_layout.Attach(Pane::CallStack, &m_callStack);
    m_layout.Attach(Pane::Watch, &m_watches);
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
    Tell(Tr("ready"));
    Tick();
    return 0;
}

void CStudioWindow::OnDestroy()
{
    KillTimer(kTickTimer);
    m_board.onView = {};
    // Prompts still shown went before this message (owned windows go first), and
    // their pointers with them.
    if (m_prompt)
        std::exchange(m_prompt, nullptr)->DestroyWindow();
    ClosePathPrompt();
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
    wants.rightWidth = int(m_memory.GetVirtualWidth()) + frame;
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
    if (m_discardAsked && *m_discardAsked != id)
        m_discardAsked.reset();
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
        if (CWnd::GetFocus() != &m_pageField)
            break;
        ShowTypedExternalPage();
        return TRUE;
    case VK_ESCAPE:
        if (CloseDropDowns())
            return TRUE;
        if (Downloading()) {
            CancelDownload();
            return TRUE;
        }
        if (!m_prompt)
            break;
        CancelReset();
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

bool CStudioWindow::OpenSource(const std::filesystem::path& path)
{
    std::filesystem::path source = path;
    if (path.extension() == kProjectExtension) {
        CProgramProject project;
        if (!project.Load(path))
            return Failed(project.error);
        source = project.sources.front();
    }
    if (!LoadDocument(source))
        return false;
    m_projectPath = path.extension() == kProjectExtension ? path : std::filesystem::path();
    // What was built from the old text does not belong to this one.
    m_program = CBuiltProgram{};
    MarkSource();
    SetWindowText(("zorstudio - " + path.filename().string()).c_str());
    Tell(Tr("opened {1}", {path.string()}));
    return true;
}

bool CStudioWindow::LoadDocument(const std::filesystem::path& path)
{
    // The editor's text stays as it is when the file cannot be read.
    if (auto why = m_document.Open(path))
        return Failed(*why);
    m_discardAsked.reset();
    m_editor.SetCursorPos(CPoint(0, 0));
    m_editor.SetLanguage(LanguageOfFile(path.filename().string()));
    return true;
}

bool CStudioWindow::ShowProgramSource(const std::filesystem::path& path)
{
    if (SameSource(path, m_document.Path()))
        return true;
    if (m_document.IsModified())
        return Failed(Tr("the source has unsaved edits: save it to see {1}", {path.filename().string()}));
    if (!LoadDocument(path))
        return false;
    MarkSource();
    return true;
}

bool CStudioWindow::Save()
{
    if (m_document.Path().empty())
        return SaveAs();
    return SaveSourceAs(m_document.Path());
}

bool CStudioWindow::SaveSourceAs(const std::filesystem::path& path)
{
    if (auto why = m_document.SaveAs(path))
        return Failed(*why);
    m_discardAsked.reset();
    m_editor.SetLanguage(LanguageOfFile(path.filename().string()));
    SetWindowText(("zorstudio - " + path.filename().string()).c_str());
    Tell(Tr("saved {1}", {path.string()}));
    return true;
}

bool CStudioWindow::MayDiscardEdits(UINT command, const char* again)
{
    if (!m_document.IsModified() || m_discardAsked == command)
        return true;
    m_discardAsked = command;
    return Failed(Tr("the source has unsaved edits: Save keeps them, {1} again discards them", {Tr(again)}));
}

bool CStudioWindow::OpenFile()
{
    if (!MayDiscardEdits(IdOpen, N_("Open")))
        return false;
    const std::filesystem::path folder = m_document.Path().empty() ? std::filesystem::current_path() : m_document.Path().parent_path();
    PromptForPath(Tr("Open the 8051 source:"), folder / "", [this](const std::filesystem::path& path) {
        return OpenSource(path);
    });
    return m_pathPrompt != nullptr;
}

bool CStudioWindow::SaveAs()
{
    const std::filesystem::path initial =
        m_document.Path().empty() ? std::filesystem::current_path() / m_document.Name() : m_document.Path();
    PromptForPath(Tr("Save the source as:"), initial, [this](const std::filesystem::path& path) {
        return SaveSourceAs(path);
    });
    return m_pathPrompt != nullptr;
}

void CStudioWindow::PromptForPath(const std::string& purpose, const std::filesystem::path& initial,
                                  std::function<bool(const std::filesystem::path&)> accept)
{
    ClosePathPrompt();
    m_pathPrompt = new CPathPromptDialog(
        this, zorkit::GbkFromUtf8(purpose), zorkit::GbkFromUtf8(initial.string()),
        [this, accept](const std::string& typed) {
            const std::string utf8 = zorkit::Utf8FromGbk(typed);
            if (utf8.empty()) {
                Failed(Tr("type a path, or Escape"));
                return;
            }
            // A path that did not serve leaves the prompt open for another try.
            if (accept(TypedPath(utf8)))
                ClosePathPrompt();
            else if (m_pathPrompt)
                m_pathPrompt->SelectPath();
        },
        [this] {
            ClosePathPrompt();
            Tell(Tr("cancelled"));
        });
    // It goes with the window as well, before the window's own WM_DESTROY.
    m_pathPrompt->onGone = [this] { m_pathPrompt = nullptr; };
    if (!m_pathPrompt->Create(this)) {
        m_pathPrompt = nullptr;
        Failed(Tr("cannot show the path prompt"));
        return;
    }
    m_pathPrompt->ShowWindow(SW_SHOW);
}

void CStudioWindow::ClosePathPrompt()
{
    if (!m_pathPrompt)
        return;
    // The prompt deletes itself with its window.
    std::exchange(m_pathPrompt, nullptr)->DestroyWindow();
}

bool CStudioWindow::Exit()
{
    if (!MayDiscardEdits(IdExit, N_("Exit")))
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
    if (CDropDownList* lines = LineListWindow(); lines && !inside(lines)) {
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
    if (CDropDownList* lines = LineListWindow()) {
        lines->ShowWindow(SW_HIDE);
        closed = true;
    }
    return closed;
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
    CProgramProject project;
    if (!m_projectPath.empty()) {
        if (!project.Load(m_projectPath))
            return Failed(project.error);
    } else {
        project = CProgramProject::OfSource(m_document.Path().empty() ? std::filesystem::path(m_document.Name()) : m_document.Path());
    }
    // The build reads files: unsaved text is built from a copy, as its source's own.
    std::filesystem::path copy;
    if (m_document.Path().empty() || m_document.IsModified()) {
        copy = m_buildDirectory.Path() / "edited" / m_document.Name();
        std::error_code error;
        std::filesystem::create_directories(copy.parent_path(), error);
        if (auto why = m_document.WriteCopy(copy))
            return Failed(*why);
        if (m_document.Path().empty())
            project.sources = {copy};
        for (std::filesystem::path& source : project.sources)
            if (SameSource(source, m_document.Path()))
                source = copy;
    }
    const std::string name = (m_projectPath.empty() ? std::filesystem::path(m_document.Name()) : m_projectPath).filename().string();
    CProgramBuildResult result = BuildProgram(project, m_buildDirectory.Path() / "out");
    if (!copy.empty() && !m_document.Path().empty())
        RenameSource(result, copy, m_document.Path());
    const CBuiltProgram before = std::move(m_program);
    m_program = CBuiltProgram(std::move(result));
    std::vector<std::string> lines;
    for (const CBuildMessage& m : LastBuild().messages)
        lines.push_back(zorkit::GbkFromUtf8(m.file + ":" + std::to_string(m.line) + ": " + m.text));
    const std::size_t bytes = LastBuild().CodeBytes();
    if (LastBuild().ok)
        lines.push_back(name + ": " + std::to_string(bytes) + " bytes of code");
    else
        lines.push_back(name + ": the build failed");
    FillBuffer(m_outputText, lines);
    m_output.UpdateWindow();
    if (!LastBuild().ok)
        return Failed(LastBuild().messages.empty() ? Tr("the build failed") : LastBuild().messages.front().text);
    KeepBreakpoints(before);
    m_document.MarkBuilt();
    MarkSource();
    Tell(Tr("built {1} bytes; Download sends them to the board", {std::to_string(bytes)}));
    return true;
}

void CStudioWindow::KeepBreakpoints(const CBuiltProgram& before)
{
    if (!before.Ok())
        return;
    std::set<WORD> clear, set;
    for (WORD address : View().breakpoints) {
        const auto place = before.StartsLine(address) ? before.PlaceAt(address) : std::nullopt;
        // A breakpoint on no source line stays at its address, as the listing set it.
        if (!place)
            continue;
        // A line of the source shown moved with the edits since the last build.
        const auto line = SameSource(place->file, ShownSource()) ? m_document.Lines().Now(place->line - 1)
                                                                 : std::optional<int>(place->line - 1);
        const auto moved = line ? m_program.AddressOfLine(place->file, *line + 1) : std::nullopt;
        if (moved == address)
            continue;
        clear.insert(address);
        if (moved)
            set.insert(*moved);
    }
    for (WORD address : set)
        if (View().IsBreakpoint(address))
            set.erase(address);
    if (clear.empty() && set.empty())
        return;
    Ask(
        [clear, set](CDebugSession& s) {
            for (WORD address : clear)
                if (s.IsBreakpoint(address) && !s.ToggleBreakpoint(address))
                    return false;
            for (WORD address : set)
                if (!s.IsBreakpoint(address) && !s.ToggleBreakpoint(address))
                    return false;
            return true;
        },
        [this](bool ok, const std::string& error) {
            if (!ok)
                Failed(error);
            MarkSource();
        });
}

std::filesystem::path CStudioWindow::ShownSource() const
{
    return m_document.Path().empty() && !LastBuild().sources.empty() ? LastBuild().sources.front() : m_document.Path();
}

std::optional<WORD> CStudioWindow::AddressOfSourceLine(int line) const
{
    // A line typed since the build has no code yet.
    const auto built = m_document.Lines().Then(line - 1);
    if (!m_program.Ok() || m_program.Result().sources.empty() || !built)
        return std::nullopt;
    return m_program.AddressOfLine(ShownSource(), *built + 1);
}

bool CStudioWindow::ToggleBreakpointAtLine(int line)
{
    m_caretSource = &m_editor;
    m_editor.SetCursorPos(CPoint(0, line));
    if (!m_program.Ok())
        return Failed("build the program first: a breakpoint goes on a line's code");
    const auto address = AddressOfSourceLine(line + 1);
    if (!address)
        return Failed("line " + std::to_string(line + 1) + " has no code");
    return ToggleBreakpoint(*address);
}

void CStudioWindow::MarkSource()
{
    std::set<int> breakpoints;
    int current = -1;
    if (m_program.Ok()) {
        const std::filesystem::path shown = ShownSource();
        // The marks stay with their lines through the edits since the build.
        for (WORD address : View().breakpoints)
            if (const auto place = m_program.PlaceAt(address); place && m_program.StartsLine(address) &&
                                                                 SameSource(place->file, shown))
                if (const auto line = m_document.Lines().Now(place->line - 1))
                    breakpoints.insert(*line);
        const CTargetSnapshot& now = View().current;
        if (now.valid && View().stopsHandled > 0 && View().state != LinkState::Running)
            if (const auto place = m_program.PlaceAt(now.pc); place && SameSource(place->file, shown))
                current = m_document.Lines().Now(place->line - 1).value_or(-1);
    }
    m_margin.SetMarks(std::move(breakpoints), current);
}

void CStudioWindow::ShowSourceStop()
{
    const CSourceStop* stop = View().source.get();
    if (stop == m_sourceShown)
        return;
    m_sourceShown = stop;
    m_callStack.Show(stop);
    m_watches.Show(stop);
    // A stop in another source of the program shows that source.
    if (stop && !stop->frames.empty() && stop->frames.front().line > 0 && m_program.Ok()) {
        const std::filesystem::path file = m_program.SourceNamed(stop->frames.front().file);
        if (file.has_parent_path() && ShowProgramSource(file))
            m_editor.EnsureVisible(CPoint(0, stop->frames.front().line - 1));
        MarkSource();
    }
}

std::optional<std::string> CStudioWindow::ListingHeading(WORD address)
{
    const auto place = m_program.CLineStartingAt(address);
    if (!place)
        return std::nullopt;
    // The editor holds GBK; a file on disk is taken for UTF-8.
    const bool shown = SameSource(place->file, m_document.Path());
    const std::vector<std::string> lines = SplitLines(shown ? m_document.Text() : tools::ReadWholeFile(place->file));
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
        return Failed(Tr("nothing built to download"));
    if (Downloading())
        return Failed(Tr("a download is under way"));
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_downloadCancel = cancel;
    m_pcLine = -1;
    const DWORD start = GetTickCount();
    Tell(Tr("downloading; Escape or Cancel stops it"));
    const std::shared_ptr<const cdebug::CDebugInfo> info = m_program.SharedDebugInfo();
    m_downloadedC = info != nullptr;
    Ask(
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
                return void(Failed(error));
            Tell(Tr("downloaded; F5 runs from {1}", {tools::Hex(*View().entry, 4)}));
        });
    return true;
}

void CStudioWindow::ShowProgress(std::size_t sent, std::size_t total, DWORD elapsedMs)
{
    if (!m_downloadCancel || total == 0)
        return;
    const unsigned percent = unsigned(sent * 100 / total);
    const unsigned left = sent ? unsigned(double(elapsedMs) * double(total - sent) / double(sent) / 1000.0 + 0.5) : 0;
    Tell(Tr("downloading {1}% ({2} of {3} bytes), {4} s left; Escape or Cancel stops it",
            {std::to_string(percent), std::to_string(sent), std::to_string(total), std::to_string(left)}));
}

bool CStudioWindow::CancelDownload()
{
    if (!m_downloadCancel)
        return Failed(Tr("no download to cancel"));
    m_downloadCancel->store(true);
    Tell(Tr("cancelling the download after the frame under way"));
    return true;
}

void CStudioWindow::Ask(std::function<bool(CDebugSession&)> job, std::function<void(bool, const std::string&)> done)
{
    ++m_requests;
    m_board.Post([this, job = std::move(job), done = std::move(done)](CDebugSession& s) -> CBoardThread::Reply {
        const bool ok = job(s);
        return [this, ok, error = ok ? std::string() : s.LastError(), done] {
            --m_requests;
            if (done)
                done(ok, error);
        };
    });
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
    ShowSourceStop();
    MarkSource();
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
        return Failed(Tr("download a program first"));
    const bool free = View().breakpoints.empty();
    const int stops = View().stopsHandled;
    Ask([](CDebugSession& s) { return s.RunProgram(); },
        [this, from, free, stops](bool ok, const std::string& error) {
            if (!ok)
                return void(Failed(error));
            if (StoppedSince(stops))
                return;
            Tell(Tr(free ? N_("running from {1}; no breakpoint stops it: Reset ends the run") : N_("running from {1}"),
                    {tools::Hex(*from, 4)}));
        });
    return true;
}

bool CStudioWindow::StepSource(SourceStep step, const char* what)
{
    const int stops = View().stopsHandled;
    Ask([step](CDebugSession& s) { return s.StepSource(step); }, [this, what, stops](bool ok, const std::string& error) {
        if (!ok)
            Failed(error);
        else if (!StoppedSince(stops))
            Tell(what);
    });
    return true;
}

bool CStudioWindow::StepOut()
{
    if (!m_downloadedC)
        return Failed("Step Out leaves a C function: download a C program");
    return StepSource(SourceStep::Out, "stepping out");
}

bool CStudioWindow::StepOver()
{
    if (m_downloadedC)
        return StepSource(SourceStep::Over, "stepping over the line");
    const int stops = View().stopsHandled;
    Ask([](CDebugSession& s) { return s.Step(); }, [this, stops](bool ok, const std::string& error) {
        if (!ok)
            Failed(error);
        else if (!StoppedSince(stops))
            Tell(Tr("stepping"));
    });
    return true;
}

bool CStudioWindow::StepInto()
{
    if (m_downloadedC)
        return StepSource(SourceStep::Into, "stepping into the line");
    Ask([](CDebugSession& s) { return s.Trace(); }, [this](bool ok, const std::string& error) {
        ok ? ShowStop() : void(Failed(error));
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
        return AddressOfSourceLine(m_editor.GetCursorPos().y + 1);
    return std::nullopt;
}

bool CStudioWindow::ToggleBreakpointAtCursor()
{
    const auto address = CursorAddress();
    if (!address)
        return Failed(Tr("the cursor is on no instruction"));
    return ToggleBreakpoint(*address);
}

bool CStudioWindow::ToggleBreakpoint(WORD address)
{
    Ask([address](CDebugSession& s) { return s.ToggleBreakpoint(address); },
        [this, address](bool ok, const std::string& error) {
            if (!ok)
                return void(Failed(error));
            if (const int line = m_programListing.LineOf(address); line >= 0)
                m_listing.EnsureVisible(CPoint(0, line));
            Tell(Tr(View().IsBreakpoint(address) ? N_("breakpoint at {1}") : N_("no breakpoint at {1}"), {tools::Hex(address, 4)}));
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
        return Failed(Tr("the cursor is on no instruction"));
    const int stops = View().stopsHandled;
    Ask([address](CDebugSession& s) { return s.RunToCursor(*address); },
        [this, address, stops](bool ok, const std::string& error) {
            if (!ok)
                Failed(error);
            else if (!StoppedSince(stops))
                Tell(Tr("running to {1}", {tools::Hex(*address, 4)}));
        });
    return true;
}

bool CStudioWindow::ToggleCopyRun()
{
    if (!View().entry)
        return Failed(Tr("download a program first"));
    const bool on = !View().copyRun;
    Ask([on](CDebugSession& s) { return s.SetCopyRun(on); }, [this, on](bool ok, const std::string& error) {
        if (!ok)
            return void(Failed(error));
        Tell(Tr(on ? N_("copy-run: the program restarts at every stop") : N_("copy-run ends at the next stop")));
    });
    return true;
}

bool CStudioWindow::AwaitReset()
{
    Ask([](CDebugSession& s) { return s.AwaitReset(); }, [this](bool ok, const std::string& error) {
        if (!ok)
            Failed(error);
        SyncResetPrompt();
    });
    return true;
}

bool CStudioWindow::Connect()
{
    Ask([](CDebugSession& s) { return s.Connect(); }, [this](bool ok, const std::string& error) {
        SyncLinkState();
        ok ? Tell(Tr("connected")) : void(Failed(error));
    });
    return true;
}

void CStudioWindow::CancelReset()
{
    Ask(
        [](CDebugSession& s) {
            s.CancelReset();
            return true;
        },
        [this](bool, const std::string&) {
            SyncResetPrompt();
            Tell(Tr("reset cancelled; Connect tests the line again"));
        });
}

void CStudioWindow::ChoosePort()
{
    if (PortListWindow()) {
        m_lineList->ShowWindow(SW_HIDE);
        return;
    }
    auto list = std::make_unique<CPortList>(PortEntries(View().line.baud, LoadLineChoice()));
    list->onChosen = [this](const CLineChoice& choice) { ChooseLine(choice); };
    ShowLineList(std::move(list), N_("cannot show the list of ports"));
}

bool CStudioWindow::ChooseDevicePath()
{
    const CLineChoice& inUse = View().line;
    PromptForPath(Tr("Open the serial device (or rfc2217://HOST:PORT):"), inUse.IsVirtual() ? "/dev/" : inUse.device,
                  [this](const std::filesystem::path& path) {
                      // The prompt stays until the board thread has opened the device.
                      ChooseLine({path.string(), View().line.baud});
                      return false;
                  });
    return m_pathPrompt != nullptr;
}

void CStudioWindow::ChooseBaudRate()
{
    if (BaudListWindow()) {
        m_lineList->ShowWindow(SW_HIDE);
        return;
    }
    auto list = std::make_unique<CBaudList>(View().line.baud);
    list->onChosen = [this](int baud) { ChooseLine({View().line.device, baud}); };
    ShowLineList(std::move(list), N_("cannot show the list of baud rates"));
}

void CStudioWindow::ShowLineList(std::unique_ptr<CDropDownList> list, const char* what)
{
    m_menuBar.Close();
    m_lineList = std::move(list);
    CRect button;
    GetDlgItem(IdPort)->GetWindowRect(&button);
    ScreenToClient(&button);
    if (!m_lineList->Create(this, CPoint(button.left, button.bottom), kLineListWidth, IdLineList)) {
        m_lineList.reset();
        Failed(Tr(what));
    }
}

CDropDownList* CStudioWindow::LineListWindow()
{
    return m_lineList && m_lineList->m_hWnd && m_lineList->IsWindowVisible() ? m_lineList.get() : nullptr;
}

CPortList* CStudioWindow::PortListWindow() { return dynamic_cast<CPortList*>(LineListWindow()); }

CBaudList* CStudioWindow::BaudListWindow() { return dynamic_cast<CBaudList*>(LineListWindow()); }

bool CStudioWindow::ChooseLine(const CLineChoice& choice)
{
    if (m_lineList)
        m_lineList->ShowWindow(SW_HIDE);
    m_pcLine = -1;
    Ask([choice](CDebugSession& s) { return s.Open(choice); }, [this, choice](bool opened, const std::string& error) {
        if (!opened) {
            if (m_pathPrompt)
                m_pathPrompt->SelectPath();
            return void(Failed(error));
        }
        ClosePathPrompt();
        const bool remembered = SaveLineChoice(choice);
        Ask([](CDebugSession& s) { return s.Connect(); }, [this, choice, remembered](bool ok, const std::string& why) {
            SyncLinkState();
            if (!ok)
                return void(Failed(why));
            const std::string line = choice.IsVirtual() ? Tr("the virtual board")
                                                        : Tr("{1} at {2} baud", {choice.device, std::to_string(choice.baud)});
            Tell(remembered ? Tr("connected to {1}", {line})
                            : Tr("connected to {1}; cannot remember it in {2}", {line, SettingsPath()}));
        });
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
        ShowMemory();
        m_memory.UpdateWindow();
    }
    MarkPc();
    m_listing.UpdateWindow();
}

void CStudioWindow::ShowMemory()
{
    const CTargetSnapshot& now = View().current;
    const CSnapshotChanges& changes = View().changes;
    if (m_memoryPage == MemoryKind::Internal)
        m_memory.Show(0, now.internalRam, changes.internalBytes, 2);
    else
        m_memory.Show(now.externalAddress, now.external, changes.externalBytes, 4);
}

void CStudioWindow::ToggleMemoryPage()
{
    const bool toExternal = m_memoryPage == MemoryKind::Internal;
    m_memoryPage = toExternal ? MemoryKind::External : MemoryKind::Internal;
    GetDlgItem(IdMemoryPage)->SetWindowText(TrGbk(toExternal ? N_("IDATA") : N_("XDATA")).c_str());
    ShowMemory();
    Tell(Tr(toExternal ? N_("the memory grid shows the external memory page") : N_("the memory grid shows the internal RAM")));
}

bool CStudioWindow::ShowTypedExternalPage()
{
    CString text;
    m_pageField.GetWindowText(text);
    const auto address = ParseHexCell(text.str(), 0xFFFF);
    if (!address)
        return Failed(Tr("the external page starts at a hexadecimal address, 0000 to FFFF"));
    return ShowExternalPage(WORD(*address));
}

bool CStudioWindow::ShowExternalPage(WORD address)
{
    m_pageField.SetWindowText(tools::Hex(address, 4).c_str());
    if (m_memoryPage != MemoryKind::External)
        ToggleMemoryPage();
    const std::string page = tools::Hex(address, 4);
    auto later = std::make_shared<bool>(false);
    Ask(
        [address, later](CDebugSession& s) {
            s.SetExternalPage(address);
            *later = s.State() != LinkState::Connected;
            return *later || s.Refresh();
        },
        [this, page, later](bool ok, const std::string& error) {
            if (!ok)
                return void(Failed(error));
            Tell(Tr(*later ? N_("the external page from {1}H is read at the next stop") : N_("the memory grid shows the external page from {1}H"),
                    {page}));
        });
    return true;
}

void CStudioWindow::ShowStop()
{
    const CBoardView& view = View();
    const CTargetSnapshot& now = view.current;
    if (view.copyRun)
        // The program has restarted: the board cannot be read until copy-run ends.
        Tell(Tr("copy-run: stop {1}, restarted at {2}", {std::to_string(view.copyRunStops), tools::Hex(*view.entry, 4)}));
    else if (const auto place = m_program.Ok() && now.valid ? m_program.PlaceAt(now.pc) : std::nullopt; place && m_downloadedC)
        Tell(Tr("stopped at {1}:{2} ({3})", {place->file.filename().string(), std::to_string(place->line), tools::Hex(now.pc, 4)}));
    else if (now.valid)
        Tell(Tr("stopped at {1}", {tools::Hex(now.pc, 4)}));
    else
        Tell(Tr("stopped"));
}

void CStudioWindow::Tick()
{
    m_panel.Poll();
    SyncLinkState();
    RefreshLog();
    UpdateCaretPane();
    m_margin.Follow();
}

void CStudioWindow::SyncLinkState()
{
    const LinkState state = View().state;
    m_status.SetPaneText(kLinkPane, TrGbk("link: {1}", {Tr(LinkStateName(state))}));
    if (state == LinkState::AdapterGone && m_lastState != LinkState::AdapterGone)
        Tell(View().adapterGoneText);
    m_lastState = state;
    SyncResetPrompt();
}

void CStudioWindow::SyncResetPrompt()
{
    const auto& prompt = View().resetPrompt;
    if (prompt && !m_prompt) {
        m_prompt = new CResetPromptDialog(this, [this] { CancelReset(); });
        m_prompt->onGone = [this] { m_prompt = nullptr; };
        if (!m_prompt->Create(this)) {
            m_prompt = nullptr;
            return;
        }
        m_prompt->SetPortText(prompt->gbk);
        m_prompt->ShowWindow(SW_SHOW);
    } else if (!prompt && m_prompt) {
        std::exchange(m_prompt, nullptr)->DestroyWindow();
    }
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
    const auto& messages = LastBuild().messages;
    if (outputLine < 0 || outputLine >= int(messages.size()))
        return;
    const CBuildMessage& message = messages[std::size_t(outputLine)];
    const int line = message.line;
    if (line < 1)
        return;
    // A message about another source of the program shows that source.
    if (!message.file.empty() && !m_document.Path().empty() && !SameSource(message.file, m_document.Path()) &&
        std::filesystem::exists(message.file) && !ShowProgramSource(message.file))
        return;
    if (line > m_document.Buffer().GetLineCount())
        return;
    m_editor.SetFocus();
    m_editor.SetCursorPos(CPoint(0, line - 1));
    m_caretSource = &m_editor;
    UpdateCaretPane();
}

void CStudioWindow::Tell(const std::string& utf8) { m_status.SetPaneText(kMessagePane, zorkit::GbkFromUtf8(utf8)); }

bool CStudioWindow::Failed(const std::string& what)
{
    Tell(what);
    return false;
}

}
