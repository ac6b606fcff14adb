#include "zorkit/platform/ui/Wnd.h"

#include <algorithm>

#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/ui/Caret.h"
#include "zorkit/platform/ui/internal/Desktop.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/ScrollBar.h"
#include "zorkit/platform/ui/WindowDCs.h"
#include "zorkit/platform/ui/internal/WindowTree.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

thread_local MSG t_currentMessage{};

zorkit::WindowState* State(HWND hwnd) { return zorkit::StateOf(hwnd); }

// Changes one style word of hwnd; with flags, the frame follows at once.
BOOL ModifyStyleWord(HWND hwnd, int index, DWORD remove, DWORD add, UINT flags)
{
    DWORD style = DWORD(::GetWindowLong(hwnd, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLong(hwnd, index, LONG(changed));
    if (flags)
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

}

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    zorkit::WindowState* state = State(hwnd);
    return state ? state->wnd : nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    zorkit::WindowState* state = State(hwnd);
    return state && !state->ownsWnd ? state->wnd : nullptr;
}

const CMessageMap* CWnd::GetThisMessageMap()
{
    static const CMessageMap map(&CCmdTarget::GetThisMessageMap, {});
    return &map;
}

const CMessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

// Creation and destruction ---------------------------------------------------------

BOOL CWnd::Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  CCreateContext* context)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, id, context);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, LPVOID param)
{
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, id, param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, UINT idOrMenu, LPVOID param)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCT cs{param, nullptr, idOrMenu, parent, height, width, y, x, LONG(style), windowName, className,
                    exStyle};
    if (!PreCreateWindow(cs))
        return FALSE;
    return zorkit::CreateWindowFor(this, cs, false) ? TRUE : FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    zorkit::WindowState* state = State(hwnd);
    if (!state || m_hWnd || state->wnd == this)
        return FALSE;
    state->super = state->wnd;
    state->wnd = this;
    m_hWnd = hwnd;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    HWND item = parent ? ::GetDlgItem(parent->m_hWnd, int(id)) : nullptr;
    return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    zorkit::WindowState* state = State(m_hWnd);
    if (!state || state->wnd != this || !state->super)
        return nullptr;
    state->wnd = state->super;
    state->super = nullptr;
    HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    return hwnd;
}

// Messages -------------------------------------------------------------------------

const MSG* CWnd::GetCurrentMessage() { return &t_currentMessage; }

MSG CWnd::SetCurrentMessage(const MSG& msg)
{
    MSG previous = t_currentMessage;
    t_currentMessage = msg;
    return previous;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *result = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY)
        return OnNotify(wParam, lParam, result);
    const zorkit::MessageMapEntry* entry = FindMessageEntry(message);
    if (!entry)
        return FALSE;
    *result = entry->call(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    zorkit::WindowState* state = State(m_hWnd);
    if (!state)
        return 0;
    if (state->wnd == this && state->super)
        return state->super->WindowProc(message, wParam, lParam);
    if (state->control)
        return state->control->WndProc(this, message, wParam, lParam);
    WNDPROC classProc = state->cls ? state->cls->attributes.lpfnWndProc : nullptr;
    if (classProc && classProc != ::DefWindowProc)
        return classProc(m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_currentMessage.message, t_currentMessage.wParam, t_currentMessage.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (hwnd == stop)
            break;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    // Menus (0) and accelerators (1) send plain commands.
    if (code == 1)
        code = CN_COMMAND;
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header)
        return FALSE;
    zorkit::NotifyExtra extra{header, result};
    return OnCmdMsg(UINT(header->idFrom), CN_NOTIFY, &extra, nullptr);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep) const
{
    zorkit::WindowState* state = State(m_hWnd);
    if (!state)
        return;
    std::vector<HWND> children;
    for (auto* child : state->children)
        children.push_back(child->hwnd);
    for (HWND child : children) {
        ::SendMessage(child, message, wParam, lParam);
        if (deep && State(child))
            FromHandle(child)->SendMessageToDescendants(message, wParam, lParam, TRUE);
    }
}

// Tree ------------------------------------------------------------------------------

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::SetParent(CWnd* newParent) { return FromHandle(::SetParent(m_hWnd, newParent ? newParent->m_hWnd : nullptr)); }

CWnd* CWnd::GetOwner() const
{
    zorkit::WindowState* state = State(m_hWnd);
    if (!state)
        return nullptr;
    return state->owner ? FromHandle(state->owner) : GetParent();
}

void CWnd::SetOwner(CWnd* owner)
{
    if (zorkit::WindowState* state = State(m_hWnd))
        state->owner = owner ? owner->m_hWnd : nullptr;
}

CWnd* CWnd::GetTopLevelParent() const
{
    zorkit::WindowState* state = State(m_hWnd);
    return state ? FromHandle(state->TopLevel()->hwnd) : nullptr;
}

CWnd* CWnd::GetWindow(UINT relation) const { return FromHandle(::GetWindow(m_hWnd, relation)); }
CWnd* CWnd::GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
CWnd* CWnd::GetNextWindow(UINT relation) const { return FromHandle(::GetWindow(m_hWnd, relation)); }
CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
int CWnd::SetDlgCtrlID(int id) { return int(::SetWindowLong(m_hWnd, GWL_ID, id)); }
BOOL CWnd::IsChild(const CWnd* wnd) const { return wnd && ::IsChild(m_hWnd, wnd->m_hWnd); }
CWnd* CWnd::ChildWindowFromPoint(POINT client) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, client)); }
CWnd* CWnd::WindowFromPoint(POINT screen) { return FromHandle(::WindowFromPoint(screen)); }

// Styles and geometry -----------------------------------------------------------------

DWORD CWnd::GetStyle() const { return DWORD(::GetWindowLong(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return DWORD(::GetWindowLong(m_hWnd, GWL_EXSTYLE)); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    return ModifyStyleWord(m_hWnd, GWL_STYLE, remove, add, flags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags)
{
    return ModifyStyleWord(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

void CWnd::GetClientRect(LPRECT rect) const
{
    if (!::GetClientRect(m_hWnd, rect))
        *rect = RECT{0, 0, 0, 0};
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    if (!::GetWindowRect(m_hWnd, rect))
        *rect = RECT{0, 0, 0, 0};
}

void CWnd::ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }

void CWnd::ClientToScreen(LPRECT rect) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(rect), 2); }

void CWnd::ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }

void CWnd::ScreenToClient(LPRECT rect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2); }

void CWnd::MapWindowPoints(CWnd* to, LPPOINT points, UINT count) const
{
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, points, count);
}

void CWnd::MapWindowPoints(CWnd* to, LPRECT rect) const
{
    ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    HWND after = insertAfter == reinterpret_cast<const CWnd*>(HWND_TOPMOST)     ? HWND_TOPMOST
                 : insertAfter == reinterpret_cast<const CWnd*>(HWND_NOTOPMOST) ? HWND_NOTOPMOST
                 : insertAfter == reinterpret_cast<const CWnd*>(HWND_BOTTOM)    ? HWND_BOTTOM
                 : insertAfter                                                  ? insertAfter->m_hWnd
                                                                                : HWND_TOP;
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
}

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    CRect mine;
    GetWindowRect(&mine);
    CWnd* around = alternateOwner ? alternateOwner : GetOwner();
    CRect area(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (around)
        around->GetWindowRect(&area);
    CPoint topLeft(area.left + (area.Width() - mine.Width()) / 2, area.top + (area.Height() - mine.Height()) / 2);
    if (GetStyle() & WS_CHILD)
        GetParent()->ScreenToClient(&topLeft);
    ::SetWindowPos(m_hWnd, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// State -------------------------------------------------------------------------------

BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
void CWnd::SetWindowText(LPCTSTR text) { ::SetWindowText(m_hWnd, text); }
int CWnd::GetWindowText(LPTSTR buffer, int size) const { return ::GetWindowText(m_hWnd, buffer, size); }

void CWnd::GetWindowText(CString& text) const
{
    int length = GetWindowTextLength();
    char* buffer = text.GetBuffer(length + 1);
    ::GetWindowText(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(-1);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLength(m_hWnd); }

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? HFONT(*font) : nullptr), redraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
}

void CWnd::SetRedraw(BOOL redraw) { SendMessage(WM_SETREDRAW, WPARAM(redraw)); }

// Focus, capture, caret ----------------------------------------------------------------

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
void CWnd::CreateSolidCaret(int width, int height) { ::CreateCaret(m_hWnd, nullptr, width, height); }
void CWnd::CreateGrayCaret(int width, int height) { ::CreateCaret(m_hWnd, reinterpret_cast<HBITMAP>(1), width, height); }
void CWnd::ShowCaret() { ::ShowCaret(m_hWnd); }
void CWnd::HideCaret() { ::HideCaret(m_hWnd); }
void CWnd::SetCaretPos(POINT point) { ::SetCaretPos(point.x, point.y); }

CPoint CWnd::GetCaretPos()
{
    CPoint point;
    ::GetCaretPos(&point);
    return point;
}

// Painting -------------------------------------------------------------------------------

void CWnd::Invalidate(BOOL erase) { ::InvalidateRect(m_hWnd, nullptr, erase); }
void CWnd::InvalidateRect(LPCRECT rect, BOOL erase) { ::InvalidateRect(m_hWnd, rect, erase); }
void CWnd::ValidateRect(LPCRECT rect) { ::ValidateRect(m_hWnd, rect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT rect, void* region, UINT flags) { return ::RedrawWindow(m_hWnd, rect, region, flags); }
BOOL CWnd::GetUpdateRect(LPRECT rect, BOOL erase) { return ::GetUpdateRect(m_hWnd, rect, erase); }

CDC* CWnd::BeginPaint(PAINTSTRUCT* paint) { return zorkit::BeginPaintDC(m_hWnd, paint); }
void CWnd::EndPaint(PAINTSTRUCT* paint) { zorkit::EndPaintDC(m_hWnd, paint); }
CDC* CWnd::GetDC() { return zorkit::GetWindowDCFor(m_hWnd, true); }
CDC* CWnd::GetWindowDC() { return zorkit::GetWindowDCFor(m_hWnd, false); }
int CWnd::ReleaseDC(CDC* dc) { return zorkit::ReleaseWindowDC(dc); }
void CWnd::ScrollWindow(int dx, int dy, LPCRECT scroll, LPCRECT clip) { ::ScrollWindow(m_hWnd, dx, dy, scroll, clip); }

int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT scroll, LPCRECT clip, void* updateRegion, LPRECT update, UINT flags)
{
    return ::ScrollWindowEx(m_hWnd, dx, dy, scroll, clip, updateRegion, update, flags);
}

// Scroll bars -------------------------------------------------------------------------------

CScrollBar* CWnd::GetScrollBarCtrl(int) const { return nullptr; }

BOOL CWnd::SetScrollInfo(int bar, LPSCROLLINFO info, BOOL redraw)
{
    if (CScrollBar* control = GetScrollBarCtrl(bar))
        return control->SetScrollInfo(info, redraw);
    ::SetScrollInfo(m_hWnd, bar, info, redraw);
    return TRUE;
}

BOOL CWnd::GetScrollInfo(int bar, LPSCROLLINFO info, UINT mask)
{
    info->fMask = mask;
    if (CScrollBar* control = GetScrollBarCtrl(bar))
        return control->GetScrollInfo(info, mask);
    return ::GetScrollInfo(m_hWnd, bar, info);
}

int CWnd::SetScrollPos(int bar, int pos, BOOL redraw)
{
    if (CScrollBar* control = GetScrollBarCtrl(bar))
        return control->SetScrollPos(pos, redraw);
    return ::SetScrollPos(m_hWnd, bar, pos, redraw);
}

int CWnd::GetScrollPos(int bar) const
{
    if (CScrollBar* control = GetScrollBarCtrl(bar))
        return control->GetScrollPos();
    return ::GetScrollPos(m_hWnd, bar);
}

void CWnd::SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw)
{
    if (CScrollBar* control = GetScrollBarCtrl(bar))
        control->SetScrollRange(minPos, maxPos, redraw);
    else
        ::SetScrollRange(m_hWnd, bar, minPos, maxPos, redraw);
}

void CWnd::GetScrollRange(int bar, LPINT minPos, LPINT maxPos) const
{
    if (CScrollBar* control = GetScrollBarCtrl(bar))
        control->GetScrollRange(minPos, maxPos);
    else
        ::GetScrollRange(m_hWnd, bar, minPos, maxPos);
}

int CWnd::GetScrollLimit(int bar)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(bar, &info, SIF_RANGE | SIF_PAGE))
        return 0;
    return std::max(info.nMin, info.nMax - std::max(int(info.nPage) - 1, 0));
}

void CWnd::ShowScrollBar(UINT bar, BOOL show)
{
    if (CScrollBar* control = GetScrollBarCtrl(int(bar)))
        control->ShowScrollBar(show);
    else
        ::ShowScrollBar(m_hWnd, int(bar), show);
}

BOOL CWnd::EnableScrollBarCtrl(int bar, BOOL enable)
{
    if (CScrollBar* control = GetScrollBarCtrl(bar))
        return control->EnableWindow(enable);
    ::ShowScrollBar(m_hWnd, bar, enable);
    return TRUE;
}

BOOL CWnd::EnableScrollBar(int bar, UINT arrows)
{
    if (CScrollBar* control = GetScrollBarCtrl(bar))
        return control->EnableScrollBar(arrows);
    return ::EnableScrollBar(m_hWnd, bar, arrows);
}

// Timers -------------------------------------------------------------------------------------

std::uintptr_t CWnd::SetTimer(std::uintptr_t id, UINT elapse, TIMERPROC proc) { return ::SetTimer(m_hWnd, id, elapse, proc); }
BOOL CWnd::KillTimer(std::uintptr_t id) { return ::KillTimer(m_hWnd, id); }

// Default handlers ----------------------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return BOOL(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return BOOL(Default()); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return int(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
UINT CWnd::OnNcHitTest(CPoint) { return UINT(Default()); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnTimer(UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return UINT(Default()); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
