#include "zorkit/platform/ui/internal/WindowTree.h"

#include <algorithm>
#include <cstring>

#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Caret.h"
#include "zorkit/platform/ui/internal/Desktop.h"
#include "zorkit/platform/ui/Wnd.h"

namespace {

using zorkit::Desktop;
using zorkit::WindowState;

WindowState* State(HWND hwnd) { return zorkit::StateOf(hwnd); }

void Unlink(WindowState* s)
{
    auto& siblings = s->parent ? s->parent->children : Desktop::Instance().TopLevels();
    siblings.erase(std::remove(siblings.begin(), siblings.end(), s), siblings.end());
}

// Top-level windows go to the top of their band (topmost ones above the rest);
// children go below their siblings, so that creation order is tab order.
void Link(WindowState* s, bool atTop)
{
    auto& siblings = s->parent ? s->parent->children : Desktop::Instance().TopLevels();
    if (!atTop) {
        siblings.push_back(s);
        return;
    }
    auto place = siblings.begin();
    if (!s->parent && !(s->exStyle & WS_EX_TOPMOST))
        while (place != siblings.end() && ((*place)->exStyle & WS_EX_TOPMOST))
            ++place;
    siblings.insert(place, s);
}

void EnsureSurface(WindowState* s)
{
    if (s->parent)
        return;
    int width = std::max(1, int(s->rect.Width()));
    int height = std::max(1, int(s->rect.Height()));
    if (s->surface && s->surface->Width() == width && s->surface->Height() == height)
        return;
    s->surface = zorkit::Surface::Create(width, height);
}

bool Contains(WindowState* ancestor, HWND hwnd)
{
    for (WindowState* s = State(hwnd); s; s = s->parent)
        if (s == ancestor)
            return true;
    return false;
}

// The area a window covers, in its parent's client coordinates, made invalid there.
void InvalidateUnder(WindowState* s)
{
    if (!(s->style & WS_VISIBLE))
        return;
    if (s->parent) {
        RECT area = s->rect;
        ::InvalidateRect(s->parent->hwnd, &area, TRUE);
    }
}

void DestroyTree(WindowState* s)
{
    HWND hwnd = s->hwnd;
    ::SendMessage(hwnd, WM_DESTROY, 0, 0);
    s = State(hwnd);
    if (!s)
        return;
    std::vector<HWND> children;
    for (auto* child : s->children)
        children.push_back(child->hwnd);
    for (HWND child : children)
        if (WindowState* c = State(child))
            DestroyTree(c);
    ::SendMessage(hwnd, WM_NCDESTROY, 0, 0);
    s = State(hwnd);
    if (!s)
        return;
    auto& desktop = Desktop::Instance();
    desktop.Forget(hwnd);
    zorkit::ForgetCaretOwner(hwnd);
    Unlink(s);
    CWnd* wnd = s->wnd;
    CWnd* super = s->super;
    bool owns = s->ownsWnd;
    desktop.Remove(hwnd);
    if (super) {
        super->m_hWnd = nullptr;
        if (owns) {
            // The platform's object is the one beneath; the program's object stays its own.
            wnd->m_hWnd = nullptr;
            wnd->PostNcDestroy();
            delete super;
            return;
        }
    }
    wnd->m_hWnd = nullptr;
    wnd->PostNcDestroy();
    if (owns)
        delete wnd;
}

}

namespace zorkit {

HWND CreateWindowFor(CWnd* wnd, CREATESTRUCT& cs, bool ownsWnd)
{
    const WindowClassInfo* cls = FindWindowClass(cs.lpszClass);
    WindowState* parent = State(cs.hwndParent);
    bool child = (DWORD(cs.style) & WS_CHILD) != 0;
    if (!cls || (child && !parent))
        return nullptr;
    auto owned = std::make_unique<WindowState>();
    owned->wnd = wnd;
    owned->ownsWnd = ownsWnd;
    owned->cls = cls;
    owned->style = DWORD(cs.style) & ~WS_VISIBLE;
    owned->exStyle = cs.dwExStyle;
    owned->text = cs.lpszName;
    if (child) {
        owned->parent = parent;
        owned->id = cs.hMenu;
    } else {
        owned->owner = cs.hwndParent;
    }
    owned->rect = CRect(cs.x, cs.y, cs.x + std::max(0, cs.cx), cs.y + std::max(0, cs.cy));
    if (cls->makeControl)
        owned->control = cls->makeControl();
    WindowState* s = Desktop::Instance().Add(std::move(owned));
    HWND hwnd = s->hwnd;
    wnd->m_hWnd = hwnd;
    Link(s, !child);
    EnsureSurface(s);
    wnd->PreSubclassWindow();

    auto fail = [&] {
        if (State(hwnd))
            ::DestroyWindow(hwnd);
        return HWND(nullptr);
    };
    if (!::SendMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) || !State(hwnd))
        return fail();
    if (::SendMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1 || !State(hwnd))
        return fail();
    ReportClientSize(s);
    ::SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(s->rect.left), WORD(s->rect.top)));
    if (State(hwnd) && (DWORD(cs.style) & WS_VISIBLE))
        ::ShowWindow(hwnd, SW_SHOW);
    return State(hwnd) ? hwnd : nullptr;
}

void ReportClientSize(WindowState* s)
{
    CRect client = s->ClientRect();
    if (client.Size() == s->reportedClient)
        return;
    s->reportedClient = client.Size();
    const WPARAM kind = (s->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
    ::SendMessage(s->hwnd, WM_SIZE, kind, MAKELPARAM(WORD(client.Width()), WORD(client.Height())));
}

void InvalidateFrame(WindowState* s)
{
    s->frameDirty = true;
}

}

BOOL DestroyWindow(HWND hwnd)
{
    WindowState* s = State(hwnd);
    if (!s || s->destroying)
        return FALSE;
    s->destroying = true;
    auto& desktop = Desktop::Instance();
    // Owned popups go first, as the desktop does.
    std::vector<HWND> owned;
    for (auto* top : desktop.TopLevels())
        if (top->owner == hwnd)
            owned.push_back(top->hwnd);
    for (HWND popup : owned)
        ::DestroyWindow(popup);
    if (!State(hwnd))
        return TRUE;
    InvalidateUnder(s);
    if (Contains(s, desktop.Capture()))
        ::ReleaseCapture();
    if (Contains(s, desktop.Focus())) {
        HWND lost = desktop.Focus();
        desktop.SetFocus(nullptr);
        ::SendMessage(lost, WM_KILLFOCUS, 0, 0);
    }
    s = State(hwnd);
    if (s)
        DestroyTree(s);
    return TRUE;
}

HWND GetParent(HWND hwnd)
{
    WindowState* s = State(hwnd);
    if (!s)
        return nullptr;
    return s->parent ? s->parent->hwnd : s->owner;
}

HWND SetParent(HWND child, HWND newParent)
{
    WindowState* s = State(child);
    WindowState* p = State(newParent);
    if (!s || (newParent && !p) || Contains(s, newParent))
        return nullptr;
    HWND old = s->parent ? s->parent->hwnd : nullptr;
    InvalidateUnder(s);
    Unlink(s);
    s->parent = p;
    Link(s, !p);
    EnsureSurface(s);
    ::InvalidateRect(child, nullptr, TRUE);
    return old;
}

HWND GetWindow(HWND hwnd, UINT relation)
{
    WindowState* s = State(hwnd);
    if (!s)
        return nullptr;
    if (relation == GW_CHILD)
        return s->children.empty() ? nullptr : s->children.front()->hwnd;
    if (relation == GW_OWNER)
        return s->owner;
    auto& siblings = s->parent ? s->parent->children : Desktop::Instance().TopLevels();
    auto it = std::find(siblings.begin(), siblings.end(), s);
    switch (relation) {
    case GW_HWNDFIRST:
        return siblings.front()->hwnd;
    case GW_HWNDLAST:
        return siblings.back()->hwnd;
    case GW_HWNDNEXT:
        return it + 1 == siblings.end() ? nullptr : (*(it + 1))->hwnd;
    case GW_HWNDPREV:
        return it == siblings.begin() ? nullptr : (*(it - 1))->hwnd;
    default:
        return nullptr;
    }
}

HWND GetTopWindow(HWND parent)
{
    if (!parent) {
        auto& tops = Desktop::Instance().TopLevels();
        return tops.empty() ? nullptr : tops.front()->hwnd;
    }
    return GetWindow(parent, GW_CHILD);
}

HWND GetDlgItem(HWND parent, int id)
{
    WindowState* s = State(parent);
    if (!s)
        return nullptr;
    for (auto* child : s->children)
        if (int(child->id) == id)
            return child->hwnd;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    WindowState* s = State(hwnd);
    return s && s->parent ? int(s->id) : 0;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
    WindowState* p = State(parent);
    WindowState* s = State(hwnd);
    if (!p || !s)
        return FALSE;
    for (s = s->parent; s; s = s->parent)
        if (s == p)
            return TRUE;
    return FALSE;
}

namespace {

HWND Deepest(WindowState* s, CPoint client)
{
    for (auto* child : s->children) {
        if ((child->style & WS_VISIBLE) && child->rect.PtInRect(client)) {
            CPoint inChild = client - CSize(child->rect.left, child->rect.top) -
                             CSize(child->ClientInWindow().left, child->ClientInWindow().top);
            return Deepest(child, inChild);
        }
    }
    return s->hwnd;
}

}

HWND WindowFromPoint(POINT screen)
{
    for (auto* top : Desktop::Instance().TopLevels()) {
        if (!(top->style & WS_VISIBLE) || !top->rect.PtInRect(screen))
            continue;
        CPoint client = CPoint(screen) - CSize(top->rect.left, top->rect.top) -
                        CSize(top->ClientInWindow().left, top->ClientInWindow().top);
        return Deepest(top, client);
    }
    return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT client)
{
    WindowState* s = State(parent);
    if (!s || !s->ClientRect().PtInRect(client))
        return nullptr;
    for (auto* child : s->children)
        if ((child->style & WS_VISIBLE) && child->rect.PtInRect(client))
            return child->hwnd;
    return parent;
}

LONG GetWindowLong(HWND hwnd, int index)
{
    WindowState* s = State(hwnd);
    if (!s)
        return 0;
    switch (index) {
    case GWL_STYLE:
        return LONG(s->style);
    case GWL_EXSTYLE:
        return LONG(s->exStyle);
    case GWL_ID:
        return LONG(s->id);
    default:
        return 0;
    }
}

LONG SetWindowLong(HWND hwnd, int index, LONG value)
{
    WindowState* s = State(hwnd);
    if (!s)
        return 0;
    LONG old = GetWindowLong(hwnd, index);
    if (index == GWL_STYLE)
        s->style = DWORD(value);
    else if (index == GWL_EXSTYLE)
        s->exStyle = DWORD(value);
    else if (index == GWL_ID)
        s->id = UINT(value);
    return old;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    *rect = s->ClientRect();
    return TRUE;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    if (!s->parent) {
        *rect = s->rect;
        return TRUE;
    }
    CPoint origin = s->parent->ClientOriginOnScreen();
    CRect r = s->rect;
    r.OffsetRect(origin.x, origin.y);
    *rect = r;
    return TRUE;
}

namespace {

// Moves point by the client origin of hwnd on the screen, `sign` times.
BOOL ShiftByClientOrigin(HWND hwnd, LPPOINT point, int sign)
{
    WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    CPoint origin = s->ClientOriginOnScreen();
    point->x += sign * origin.x;
    point->y += sign * origin.y;
    return TRUE;
}

}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) { return ShiftByClientOrigin(hwnd, point, 1); }

BOOL ScreenToClient(HWND hwnd, LPPOINT point) { return ShiftByClientOrigin(hwnd, point, -1); }

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    CPoint fromOrigin, toOrigin;
    if (WindowState* s = State(from))
        fromOrigin = s->ClientOriginOnScreen();
    if (WindowState* s = State(to))
        toOrigin = s->ClientOriginOnScreen();
    CSize delta = fromOrigin - toOrigin;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += delta.cx;
        points[i].y += delta.cy;
    }
    return MAKELONG(WORD(delta.cx), WORD(delta.cy));
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(hwnd, SW_HIDE);
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST)
            s->exStyle |= WS_EX_TOPMOST;
        else if (insertAfter == HWND_NOTOPMOST)
            s->exStyle &= ~WS_EX_TOPMOST;
        Unlink(s);
        auto& siblings = s->parent ? s->parent->children : Desktop::Instance().TopLevels();
        WindowState* after = State(insertAfter);
        auto it = after ? std::find(siblings.begin(), siblings.end(), after) : siblings.end();
        if (insertAfter == HWND_BOTTOM)
            siblings.push_back(s);
        else if (it != siblings.end())
            siblings.insert(it + 1, s);
        else
            Link(s, true);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    CRect old = s->rect;
    CRect moved = old;
    if (!(flags & SWP_NOMOVE))
        moved.OffsetRect(x - old.left, y - old.top);
    if (!(flags & SWP_NOSIZE)) {
        moved.right = moved.left + std::max(0, cx);
        moved.bottom = moved.top + std::max(0, cy);
    }
    if (moved != old || (flags & SWP_FRAMECHANGED)) {
        if (!(flags & SWP_NOREDRAW))
            InvalidateUnder(s);
        s->rect = moved;
        EnsureSurface(s);
        if (!(flags & SWP_NOREDRAW)) {
            zorkit::InvalidateFrame(s);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        if (moved.TopLeft() != old.TopLeft())
            ::SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(moved.left), WORD(moved.top)));
        if (State(hwnd))
            zorkit::ReportClientSize(s);
    }
    if ((flags & SWP_SHOWWINDOW) && State(hwnd))
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    return TRUE;
}

namespace {

// A top-level window maximised fills the work area; restored, it goes back to where it was.
void Zoom(WindowState* s, bool maximise)
{
    if (maximise == ((s->style & WS_MAXIMIZE) != 0))
        return;
    CRect to;
    if (maximise) {
        s->restored = s->rect;
        s->style |= WS_MAXIMIZE;
        RECT area;
        SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0);
        to = area;
    } else {
        s->style &= ~WS_MAXIMIZE;
        to = s->restored;
    }
    const CSize before = s->rect.Size();
    const HWND hwnd = s->hwnd;
    SetWindowPos(hwnd, nullptr, to.left, to.top, to.Width(), to.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (to.Size() == before && (s = State(hwnd)))
        // The same size in the other state is news to the window all the same.
        ::SendMessage(hwnd, WM_SIZE, maximise ? SIZE_MAXIMIZED : SIZE_RESTORED,
                      MAKELPARAM(WORD(s->reportedClient.cx), WORD(s->reportedClient.cy)));
}

}

BOOL ShowWindow(HWND hwnd, int command)
{
    WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    const bool restore = (command == SW_RESTORE || command == SW_SHOWNORMAL) && (s->style & WS_MAXIMIZE);
    if (!s->parent && (command == SW_SHOWMAXIMIZED || restore)) {
        Zoom(s, command == SW_SHOWMAXIMIZED);
        if (!(s = State(hwnd)))
            return FALSE;
    }
    bool wasVisible = (s->style & WS_VISIBLE) != 0;
    bool show = command != SW_HIDE;
    if (show != wasVisible) {
        ::SendMessage(hwnd, WM_SHOWWINDOW, show, 0);
        if (!(s = State(hwnd)))
            return wasVisible;
        if (show) {
            s->style |= WS_VISIBLE;
            zorkit::InvalidateFrame(s);
            InvalidateRect(hwnd, nullptr, TRUE);
        } else {
            InvalidateUnder(s);
            s->style &= ~WS_VISIBLE;
            auto& desktop = Desktop::Instance();
            if (Contains(s, desktop.Capture()))
                ReleaseCapture();
            if (Contains(s, desktop.Focus()))
                SetFocus(s->parent ? s->parent->hwnd : nullptr);
        }
    }
    bool activate = show && command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && !s->parent;
    if (activate)
        SetActiveWindow(hwnd);
    return wasVisible;
}

BOOL IsZoomed(HWND hwnd)
{
    WindowState* s = State(hwnd);
    return s && !s->parent && (s->style & WS_MAXIMIZE);
}

BOOL IsWindowVisible(HWND hwnd)
{
    WindowState* s = State(hwnd);
    return s && s->IsVisible();
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    bool wasDisabled = (s->style & WS_DISABLED) != 0;
    if (bool(enable) == wasDisabled) {
        if (enable) {
            s->style &= ~WS_DISABLED;
        } else {
            s->style |= WS_DISABLED;
            if (Contains(s, Desktop::Instance().Focus()))
                SetFocus(nullptr);
        }
        ::SendMessage(hwnd, WM_ENABLE, enable, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    WindowState* s = State(hwnd);
    return s && !(s->style & WS_DISABLED);
}

BOOL SetWindowText(HWND hwnd, LPCTSTR text)
{
    return BOOL(::SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

int GetWindowText(HWND hwnd, LPTSTR buffer, int size)
{
    return int(::SendMessage(hwnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND hwnd) { return int(::SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0)); }
