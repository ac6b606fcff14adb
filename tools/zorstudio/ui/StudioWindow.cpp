#include "tools/zorstudio/ui/StudioWindow.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "tools/common/Numbers.h"
#include "tools/zorstudio/ui/HexCell.h"
#include "tools/zorstudio/ui/PathPromptDialog.h"
#include "tools/zorstudio/ui/ResetPromptDialog.h"
#include "tools/zorstudio/StudioSettings.h"
#include "zorkit/platform/core/AtomicFileWriter.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Styles.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorstudio {
namespace {

// Function keys the platform's key table leaves out.
constexpr UINT kKeyF5 = 0x74, kKeyF9 = 0x78, kKeyF11 = 0x7A;
constexpr std::uintptr_t kTickTimer = 1;
constexpr UINT kTickMs = 100;
constexpr int kMenuBarHeight = CMenuBar::kHeight;
constexpr int kButtonRow = 30;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 24;
constexpr int kGap = 2;
constexpr int kLinkPaneWidth = 220;
constexpr int kCaretPaneWidth = 120;
constexpr int kLineListWidth = 360;
constexpr int kPageFieldWidth = 56;
constexpr std::size_t kLogBytes = 16384;
constexpr int kMemoryRows = CDebugSession::kInternalRamSize / CMemoryGrid::kBytesPerRow;

struct ButtonSpec {
    UINT id;
    const char* text;
};
constexpr ButtonSpec kButtons[] = {
    {CStudioWindow::IdSave, "Save ^S"},        {CStudioWindow::IdBuild, "Build ^B"},
    {CStudioWindow::IdDownload, "Download"},   {CStudioWindow::IdRun, "Run F5"},
    {CStudioWindow::IdStepOver, "Step F10"},   {CStudioWindow::IdStepInto, "Trace F11"},
    {CStudioWindow::IdBreakpoint, "Break F9"}, {CStudioWindow::IdRunToCursor, "To cursor"},
    {CStudioWindow::IdCopyRun, "Copy-run"},    {CStudioWindow::IdReset, "Reset"},
    {CStudioWindow::IdConnect, "Connect"},      {CStudioWindow::IdPort, "Port"},
    {CStudioWindow::IdMemoryPage, "XDATA"},
};

// The menus, each item with the command id its button or key has.
std::vector<CMenu> StudioMenus()
{
    using W = CStudioWindow;
    return {
        {"File", {{W::IdOpen, "Open...", "Ctrl+O"}, {W::IdSave, "Save", "Ctrl+S"}, {W::IdSaveAs, "Save As..."},
                  {0, ""}, {W::IdExit, "Exit"}}},
        {"Build", {{W::IdBuild, "Build", "Ctrl+B"}, {W::IdDownload, "Download"}}},
        {"Debug", {{W::IdRun, "Run", "F5"}, {W::IdStepOver, "Step Over", "F10"}, {W::IdStepInto, "Step Into", "F11"},
                   {W::IdBreakpoint, "Toggle Breakpoint", "F9"}, {W::IdRunToCursor, "Run to Cursor", "Ctrl+F10"},
                   {0, ""}, {W::IdCopyRun, "Copy-Run"}, {W::IdReset, "Reset"}, {W::IdConnect, "Connect"}}},
        {"Line", {{W::IdPort, "Port..."}, {W::IdDevicePath, "Device path..."}, {W::IdBaudRate, "Baud rate..."}}},
    };
}

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

// Replaces the buffer's text by lines (GBK) and tells its views.
void FillBuffer(CTextBuf& buffer, const std::vector<std::string>& lines)
{
    buffer.FreeAll();
    for (const std::string& line : lines)
        buffer.InsertLine(line.data(), int(line.size()), -1);
    if (lines.empty())
        buffer.InsertLine(nullptr, 0, -1);
    buffer.UpdateViews(nullptr, nullptr, TBU_RESET, -1);
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string BufferText(const CTextBuf& buffer)
{
    const int last = buffer.GetLineCount() - 1;
    if (last < 0)
        return {};
    CString text;
    buffer.GetText(CPoint(0, 0), CPoint(buffer.GetLineLength(last), last), text);
    std::string result = text.str();
    result.erase(std::remove(result.begin(), result.end(), '\r'), result.end());
    return result + "\n";
}

}

CStudioWindow::CStudioWindow(CDebugSession& session)
    : m_session(session), m_memory(kMemoryRows), m_panel(session), m_status({kLinkPaneWidth, kCaretPaneWidth}),
      m_menuBar(StudioMenus())
{
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
        zorkit::MapCommandRange(IdSave, IdBaudRate, &CStudioWindow::OnCommandButton),
    });
    return &map;
}

const CMessageMap* CStudioWindow::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CStudioWindow::CreateMain(const CRect& rect)
{
    static LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW));
    return CreateEx(0, cls, "zorstudio", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
}

int CStudioWindow::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    CFont* guiFont = CFont::FromHandle(HFONT(GetStockObject(DEFAULT_GUI_FONT)));
    m_menuBar.isEnabled = [this](UINT command) { return CanRun(command); };
    if (!m_menuBar.Create(this, CRect(0, 0, kWidth, kMenuBarHeight), IdMenuBar, IdMenuList))
        return -1;
    for (const ButtonSpec& spec : kButtons) {
        auto button = std::make_unique<CWnd>();
        if (!button->CreateEx(0, "BUTTON", spec.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, 1, 1), this,
                              spec.id))
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
        !m_status.Create(this, none, IdStatus))
        return -1;
    m_source.InitNew();
    m_editor.AttachToBuffer(&m_source);
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
    m_registers.onWrite = [this](const CRegisterField& field, unsigned value) {
        if (!m_session.WriteRegister(field, value))
            return Failed(m_session.LastError());
        Tell(std::string(field.name) + " := " + tools::Hex(value, 2 * field.size) + ", read back from the board");
        return true;
    };
    m_memory.onWrite = [this](WORD address, BYTE value) {
        if (!m_session.WriteMemory(m_memoryPage, address, value))
            return Failed(m_session.LastError());
        const bool internal = m_memoryPage == MemoryKind::Internal;
        Tell(std::string(internal ? "" : "XDATA ") + tools::Hex(address, internal ? 2 : 4) + "H := " + tools::Hex(value, 2) +
             ", read back from the board");
        return true;
    };
    m_panel.onMessage = [this](const std::string& text) { Tell(text); };
    m_session.SetStopHandler([this] { ShowStop(); });
    Layout();
    SetTimer(kTickTimer, kTickMs);
    Tell("ready");
    Tick();
    return 0;
}

void CStudioWindow::OnDestroy()
{
    KillTimer(kTickTimer);
    m_session.SetStopHandler({});
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
    Layout();
}

void CStudioWindow::Layout()
{
    if (m_buttons.empty())
        return;
    CRect client;
    GetClientRect(&client);
    m_menuBar.MoveWindow(0, 0, client.Width(), kMenuBarHeight);
    const int buttonTop = kMenuBarHeight + (kButtonRow - kButtonHeight) / 2;
    int x = kGap;
    for (auto& button : m_buttons) {
        button->MoveWindow(x, buttonTop, kButtonWidth, kButtonHeight);
        x += kButtonWidth + kGap;
    }
    m_pageField.MoveWindow(x, buttonTop, kPageFieldWidth, kButtonHeight);
    const int statusTop = client.bottom - CStatusBar::kHeight;
    const int panelTop = statusTop - CExperimentPanel::kHeight;
    m_status.MoveWindow(0, statusTop, client.Width(), CStatusBar::kHeight);
    m_panel.MoveWindow(0, panelTop, client.Width(), CExperimentPanel::kHeight);

    // Four columns: source over output, listing over log, registers, memory.
    const int top = kMenuBarHeight + kButtonRow;
    const int height = panelTop - kGap - top;
    const int upper = height * 2 / 3;
    const int memoryWidth = 428, registerWidth = 204;
    const int rest = client.Width() - memoryWidth - registerWidth - 3 * kGap;
    const int sourceWidth = rest * 56 / 100;
    const int listingWidth = rest - sourceWidth;
    int left = 0;
    m_editor.MoveWindow(left, top, sourceWidth, upper);
    m_output.MoveWindow(left, top + upper + kGap, sourceWidth, height - upper - kGap);
    left += sourceWidth + kGap;
    m_listing.MoveWindow(left, top, listingWidth, upper);
    m_log.MoveWindow(left, top + upper + kGap, listingWidth, height - upper - kGap);
    left += listingWidth + kGap;
    m_registers.MoveWindow(left, top, registerWidth, height);
    left += registerWidth + kGap;
    m_memory.MoveWindow(left, top, client.right - left, height);
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
    switch (id) {
    case IdOpen: OpenFile(); break;
    case IdSaveAs: SaveAs(); break;
    case IdExit: Exit(); break;
    case IdSave: Save(); break;
    case IdBuild: Build(); break;
    case IdDownload: Download(); break;
    case IdRun: Run(); break;
    case IdStepOver: StepOver(); break;
    case IdStepInto: StepInto(); break;
    case IdBreakpoint: ToggleBreakpointAtCursor(); break;
    case IdRunToCursor: RunToCursor(); break;
    case IdCopyRun: ToggleCopyRun(); break;
    case IdReset: AwaitReset(); break;
    case IdConnect: Connect(); break;
    case IdPort: ChoosePort(); break;
    case IdDevicePath: ChooseDevicePath(); break;
    case IdBaudRate: ChooseBaudRate(); break;
    case IdMemoryPage: ToggleMemoryPage(); break;
    default: break;
    }
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
            if (UINT(m_menuBar.Menus()[i].title[0]) == msg->wParam) {
                m_menuBar.Open(i);
                return TRUE;
            }
    }
    if (MenuKey(UINT(msg->wParam)))
        return TRUE;
    switch (msg->wParam) {
    case kKeyF5: Run(); return TRUE;
    case kKeyF9: ToggleBreakpointAtCursor(); return TRUE;
    case VK_F10: ctrl ? RunToCursor() : StepOver(); return TRUE;
    case kKeyF11: StepInto(); return TRUE;
    case VK_RETURN:
        if (CWnd::GetFocus() != &m_pageField)
            break;
        ShowTypedExternalPage();
        return TRUE;
    case VK_ESCAPE:
        if (CloseDropDowns())
            return TRUE;
        if (!m_prompt)
            break;
        CancelReset();
        return TRUE;
    case 'O':
        if (!ctrl)
            break;
        OpenFile();
        return TRUE;
    case 'B':
        if (!ctrl)
            break;
        Build();
        return TRUE;
    case 'S':
        if (!ctrl)
            break;
        Save();
        return TRUE;
    default: break;
    }
    return CWnd::PreTranslateMessage(msg);
}

bool CStudioWindow::OpenSource(const std::filesystem::path& path)
{
    // Read here rather than by the buffer, which takes a lone LF for no line end:
    // assembly sources on this system end their lines with LF.
    // The editor's text stays as it is until the whole file has been read.
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return Failed("cannot open " + path.string() + ": it is a directory");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return Failed("cannot open " + path.string() + ": " + std::strerror(errno ? errno : ENOENT));
    const std::string text(std::istreambuf_iterator<char>(in), {});
    if (in.bad())
        return Failed("cannot read " + path.string());
    FillBuffer(m_source, SplitLines(text));
    m_source.SetModified(FALSE);
    m_sourcePath = path;
    m_discardAsked.reset();
    // What was built from the old text does not belong to this one.
    m_build = CBuildResult{};
    m_editor.SetCursorPos(CPoint(0, 0));
    SetWindowText(("zorstudio - " + path.filename().string()).c_str());
    Tell("opened " + path.string());
    return true;
}

bool CStudioWindow::Save()
{
    if (m_sourcePath.empty())
        return SaveAs();
    return SaveSourceAs(m_sourcePath);
}

bool CStudioWindow::SaveSourceAs(const std::filesystem::path& path)
{
    // With LF line ends, as the source was read.
    const std::string text = BufferText(m_source);
    zorkit::AtomicFileWriter out;
    errno = 0;
    if (!out.Open(path.string().c_str()) || !out.Write(text.data(), text.size()) || !out.Commit())
        return Failed("cannot save " + path.string() + (errno ? std::string(": ") + std::strerror(errno) : ""));
    m_source.SetModified(FALSE);
    m_discardAsked.reset();
    if (path != m_sourcePath) {
        m_sourcePath = path;
        SetWindowText(("zorstudio - " + path.filename().string()).c_str());
    }
    Tell("saved " + path.string());
    return true;
}

bool CStudioWindow::MayDiscardEdits(UINT command, const std::string& again)
{
    if (!m_source.IsModified() || m_discardAsked == command)
        return true;
    m_discardAsked = command;
    return Failed("the source has unsaved edits: Save keeps them, " + again + " again discards them");
}

bool CStudioWindow::OpenFile()
{
    if (!MayDiscardEdits(IdOpen, "Open"))
        return false;
    const std::filesystem::path folder = m_sourcePath.empty() ? std::filesystem::current_path() : m_sourcePath.parent_path();
    PromptForPath("Open the 8051 source:", folder / "", [this](const std::filesystem::path& path) {
        return OpenSource(path);
    });
    return m_pathPrompt != nullptr;
}

bool CStudioWindow::SaveAs()
{
    const std::filesystem::path initial =
        m_sourcePath.empty() ? std::filesystem::current_path() / "program.asm" : m_sourcePath;
    PromptForPath("Save the source as:", initial, [this](const std::filesystem::path& path) {
        return SaveSourceAs(path);
    });
    return m_pathPrompt != nullptr;
}

void CStudioWindow::PromptForPath(const std::string& purpose, const std::filesystem::path& initial,
                                  std::function<bool(const std::filesystem::path&)> accept)
{
    ClosePathPrompt();
    m_pathPrompt = new CPathPromptDialog(
        this, purpose, zorkit::GbkFromUtf8(initial.string()),
        [this, accept](const std::string& typed) {
            const std::string utf8 = zorkit::Utf8FromGbk(typed);
            if (utf8.empty()) {
                Failed("type a path, or Escape");
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
            Tell("cancelled");
        });
    // It goes with the window as well, before the window's own WM_DESTROY.
    m_pathPrompt->onGone = [this] { m_pathPrompt = nullptr; };
    if (!m_pathPrompt->Create(this)) {
        m_pathPrompt = nullptr;
        Failed("cannot show the path prompt");
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
    if (!MayDiscardEdits(IdExit, "Exit"))
        return false;
    DestroyWindow();
    return true;
}

bool CStudioWindow::CanRun(UINT command) const
{
    switch (command) {
    case IdDownload: return m_build.ok;
    case IdRun: case IdStepOver: case IdStepInto: case IdRunToCursor: case IdCopyRun: return m_entry.has_value();
    // At a line of the built source, or of the listing of what was downloaded.
    case IdBreakpoint: return m_build.ok || !m_programListing.Lines().empty();
    default: return true;
    }
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
    const std::string name = m_sourcePath.empty() ? "program.asm" : m_sourcePath.filename().string();
    m_build = m_builder.Build(BufferText(m_source), name, m_sourcePath.parent_path());
    std::vector<std::string> lines;
    for (const CAssemblerMessage& m : m_build.messages)
        lines.push_back(zorkit::GbkFromUtf8(m.file + ":" + std::to_string(m.line) + ": " + m.text));
    std::size_t bytes = 0;
    for (const CIntelHex::Run& run : m_build.hex.GetRuns())
        bytes += run.bytes.size();
    if (m_build.ok)
        lines.push_back(name + ": " + std::to_string(bytes) + " bytes of code");
    else
        lines.push_back(name + ": the build failed");
    FillBuffer(m_outputText, lines);
    m_output.UpdateWindow();
    if (!m_build.ok)
        return Failed(m_build.messages.empty() ? "the build failed" : m_build.messages.front().text);
    Tell("built " + std::to_string(bytes) + " bytes; Download sends them to the board");
    return true;
}

bool CStudioWindow::Download()
{
    if (!m_build.ok)
        return Failed("nothing built to download");
    if (!m_session.Download(m_build.hex))
        return Failed(m_session.LastError());
    m_entry = WORD(m_build.hex.GetRuns().front().address);
    m_pcLine = -1;
    ShowListing();
    // What the board holds before the run: the first stop is compared with it.
    if (!m_session.Refresh())
        return Failed(m_session.LastError());
    ShowBoard();
    m_stopped = false;
    Tell("downloaded; F5 runs from " + tools::Hex(*m_entry, 4));
    return true;
}

void CStudioWindow::ShowListing()
{
    m_programListing = CProgramListing(m_session.Code());
    std::vector<std::string> lines;
    for (const CListingLine& line : m_programListing.Lines())
        lines.push_back(line.text);
    FillBuffer(m_listingText, lines);
    MarkBreakpoints();
    MarkPc();
}

void CStudioWindow::MarkBreakpoints()
{
    const auto& lines = m_programListing.Lines();
    for (std::size_t i = 0; i < lines.size(); ++i)
        m_listingText.SetLineFlags(int(i), LINEMARK_DOT, m_session.IsBreakpoint(lines[i].address));
}

void CStudioWindow::MarkPc()
{
    if (m_pcLine >= 0)
        m_listingText.SetLineFlags(m_pcLine, LINEMARK_ARROW, FALSE);
    const CTargetSnapshot& now = m_session.Current();
    m_pcLine = now.valid ? m_programListing.LineOf(now.pc) : -1;
    if (m_pcLine < 0)
        return;
    m_listingText.SetLineFlags(m_pcLine, LINEMARK_ARROW, TRUE);
    m_listing.EnsureVisible(CPoint(0, m_pcLine));
}

bool CStudioWindow::Run()
{
    const CTargetSnapshot& now = m_session.Current();
    if (!m_entry)
        return Failed("download a program first");
    // The first run starts at the entry, later ones where the program stopped.
    const WORD from = m_stopped && now.valid ? now.pc : *m_entry;
    if (!m_session.Run(from))
        return Failed(m_session.LastError());
    Tell("running from " + tools::Hex(from, 4) +
         (m_session.Breakpoints().empty() ? "; no breakpoint stops it: Reset ends the run" : ""));
    return true;
}

bool CStudioWindow::StepOver()
{
    if (!m_session.Step())
        return Failed(m_session.LastError());
    Tell("stepping");
    return true;
}

bool CStudioWindow::StepInto()
{
    if (!m_session.Trace())
        return Failed(m_session.LastError());
    ShowStop();
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
    if (m_caretSource == &m_editor && m_build.ok)
        return m_build.AddressOfLine(m_editor.GetCursorPos().y + 1);
    return std::nullopt;
}

bool CStudioWindow::ToggleBreakpointAtCursor()
{
    const auto address = CursorAddress();
    if (!address)
        return Failed("the cursor is on no instruction");
    return ToggleBreakpoint(*address);
}

bool CStudioWindow::ToggleBreakpoint(WORD address)
{
    if (!m_session.ToggleBreakpoint(address))
        return Failed(m_session.LastError());
    MarkBreakpoints();
    if (const int line = m_programListing.LineOf(address); line >= 0)
        m_listing.EnsureVisible(CPoint(0, line));
    Tell(std::string(m_session.IsBreakpoint(address) ? "breakpoint at " : "no breakpoint at ") + tools::Hex(address, 4));
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
        return Failed("the cursor is on no instruction");
    if (!m_session.RunToCursor(*address))
        return Failed(m_session.LastError());
    Tell("running to " + tools::Hex(*address, 4));
    return true;
}

bool CStudioWindow::ToggleCopyRun()
{
    if (!m_entry)
        return Failed("download a program first");
    const bool on = !m_copyRun;
    if (!m_session.CopyRun(*m_entry, on))
        return Failed(m_session.LastError());
    m_copyRun = on;
    m_copyRunStops = 0;
    Tell(on ? "copy-run: the program restarts at every stop" : "copy-run ends at the next stop");
    return true;
}

bool CStudioWindow::AwaitReset()
{
    if (!m_session.AwaitReset())
        return Failed(m_session.LastError());
    SyncResetPrompt();
    return true;
}

bool CStudioWindow::Connect()
{
    if (!m_session.Connect()) {
        SyncResetPrompt();
        return Failed(m_session.LastError());
    }
    Tell("connected");
    Tick();
    return true;
}

void CStudioWindow::CancelReset()
{
    m_session.CancelReset();
    SyncResetPrompt();
    Tell("reset cancelled; Connect tests the line again");
}

void CStudioWindow::ChoosePort()
{
    if (PortListWindow()) {
        m_lineList->ShowWindow(SW_HIDE);
        return;
    }
    auto list = std::make_unique<CPortList>(PortEntries(m_session.LineChoice().baud, LoadLineChoice()));
    list->onChosen = [this](const CLineChoice& choice) { ChooseLine(choice); };
    ShowLineList(std::move(list), "the list of ports");
}

bool CStudioWindow::ChooseDevicePath()
{
    const CLineChoice& inUse = m_session.LineChoice();
    PromptForPath("Open the serial device (or rfc2217://HOST:PORT):", inUse.IsVirtual() ? "/dev/" : inUse.device,
                  [this](const std::filesystem::path& path) {
                      return ChooseLine({path.string(), m_session.LineChoice().baud});
                  });
    return m_pathPrompt != nullptr;
}

void CStudioWindow::ChooseBaudRate()
{
    if (BaudListWindow()) {
        m_lineList->ShowWindow(SW_HIDE);
        return;
    }
    auto list = std::make_unique<CBaudList>(m_session.LineChoice().baud);
    list->onChosen = [this](int baud) { ChooseLine({m_session.LineChoice().device, baud}); };
    ShowLineList(std::move(list), "the list of baud rates");
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
        Failed(std::string("cannot show ") + what);
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
    // What belonged to the old line's board is gone with it.
    m_entry.reset();
    m_stopped = false;
    m_copyRun = false;
    m_pcLine = -1;
    const bool opened = m_session.Open(choice);
    ShowListing();
    ShowBoard();
    if (!opened)
        return Failed(m_session.LastError());
    const bool remembered = SaveLineChoice(choice);
    if (!Connect())
        return false;
    Tell("connected to " +
         (choice.IsVirtual() ? std::string("the virtual board")
                             : choice.device + " at " + std::to_string(choice.baud) + " baud") +
         (remembered ? "" : "; cannot remember it in " + SettingsPath()));
    return true;
}

void CStudioWindow::ShowBoard()
{
    const CTargetSnapshot& now = m_session.Current();
    const CSnapshotChanges& changes = m_session.Changes();
    m_registers.Show(now, changes.registers);
    ShowMemory();
    MarkPc();
    m_registers.UpdateWindow();
    m_memory.UpdateWindow();
    m_listing.UpdateWindow();
}

void CStudioWindow::ShowMemory()
{
    const CTargetSnapshot& now = m_session.Current();
    const CSnapshotChanges& changes = m_session.Changes();
    if (m_memoryPage == MemoryKind::Internal)
        m_memory.Show(0, now.internalRam, changes.internalBytes, 2);
    else
        m_memory.Show(now.externalAddress, now.external, changes.externalBytes, 4);
}

void CStudioWindow::ToggleMemoryPage()
{
    const bool toExternal = m_memoryPage == MemoryKind::Internal;
    m_memoryPage = toExternal ? MemoryKind::External : MemoryKind::Internal;
    GetDlgItem(IdMemoryPage)->SetWindowText(toExternal ? "IDATA" : "XDATA");
    ShowMemory();
    Tell(toExternal ? "the memory grid shows the external memory page" : "the memory grid shows the internal RAM");
}

bool CStudioWindow::ShowTypedExternalPage()
{
    CString text;
    m_pageField.GetWindowText(text);
    const auto address = ParseHexCell(text.str(), 0xFFFF);
    if (!address)
        return Failed("the external page starts at a hexadecimal address, 0000 to FFFF");
    return ShowExternalPage(WORD(*address));
}

bool CStudioWindow::ShowExternalPage(WORD address)
{
    m_session.SetExternalPage(address);
    m_pageField.SetWindowText(tools::Hex(address, 4).c_str());
    if (m_memoryPage != MemoryKind::External)
        ToggleMemoryPage();
    const std::string page = "the external page from " + tools::Hex(address, 4) + "H";
    if (m_session.State() != LinkState::Connected) {
        Tell(page + " is read at the next stop");
        return true;
    }
    if (!m_session.Refresh())
        return Failed(m_session.LastError());
    ShowBoard();
    Tell("the memory grid shows " + page);
    return true;
}

void CStudioWindow::ShowStop()
{
    m_stopped = true;
    ShowBoard();
    const CTargetSnapshot& now = m_session.Current();
    if (m_copyRun)
        // The program has restarted: the board cannot be read until copy-run ends.
        Tell("copy-run: stop " + std::to_string(++m_copyRunStops) + ", restarted at " + tools::Hex(*m_entry, 4));
    else if (now.valid)
        Tell("stopped at " + tools::Hex(now.pc, 4));
    else
        Tell("stopped; " + m_session.LastError());
}

void CStudioWindow::Tick()
{
    m_panel.Poll();
    m_session.Poll();
    const LinkState state = m_session.State();
    m_status.SetPaneText(kLinkPane, std::string("link: ") + LinkStateName(state));
    if (state == LinkState::AdapterGone && m_lastState != LinkState::AdapterGone)
        Tell(m_session.AdapterGoneText());
    m_lastState = state;
    SyncResetPrompt();
    RefreshLog();
    UpdateCaretPane();
}

void CStudioWindow::SyncResetPrompt()
{
    const auto prompt = m_session.ResetPrompt();
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
    const CLineChoice& line = m_session.LineChoice();
    std::string log = std::string("link: ") + LinkStateName(m_session.State()) + ", " +
                      (line.IsVirtual() ? "virtual board" : line.device) + " at " + std::to_string(line.baud) +
                      " baud\n" + m_session.CommLog(kLogBytes);
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
    if (outputLine < 0 || outputLine >= int(m_build.messages.size()))
        return;
    const int line = m_build.messages[std::size_t(outputLine)].line;
    if (line < 1 || line > m_source.GetLineCount())
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
