#include "zorkit/platform/ui/internal/WindowState.h"

#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/internal/Desktop.h"
#include "zorkit/platform/ui/Wnd.h"

namespace {

// A top-level window's frame belongs to the desktop (or the on-screen backend), so
// only child windows draw borders of their own.
int BorderWidth(const zorkit::WindowState& s)
{
    if (!s.IsChild())
        return 0;
    int width = 0;
    if (s.style & WS_THICKFRAME)
        width = GetSystemMetrics(SM_CXFRAME);
    else if (s.style & WS_DLGFRAME)
        width = GetSystemMetrics(SM_CXDLGFRAME);
    else if (s.style & WS_BORDER)
        width = GetSystemMetrics(SM_CXBORDER);
    if (s.exStyle & WS_EX_CLIENTEDGE)
        width += GetSystemMetrics(SM_CXEDGE);
    if (s.exStyle & WS_EX_STATICEDGE)
        width += GetSystemMetrics(SM_CXBORDER);
    return width;
}

// Runs while a window handles a message, so that Default() knows what to pass on.
struct CurrentMessage {
    explicit CurrentMessage(const MSG& msg) : m_previous(CWnd::SetCurrentMessage(msg)) {}
    ~CurrentMessage() { CWnd::SetCurrentMessage(m_previous); }
    MSG m_previous;
};

}

namespace zorkit {

LRESULT WindowState::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && lParam) {
        reinterpret_cast<TIMERPROC>(lParam)(h, WM_TIMER, wParam, GetTickCount());
        return 0;
    }
    CurrentMessage current(MSG{h, message, wParam, lParam, GetTickCount(), Desktop::Instance().Pointer()});
    return wnd->WindowProc(message, wParam, lParam);
}

bool WindowState::IsVisible() const
{
    for (const WindowState* s = this; s; s = s->parent)
        if (!(s->style & WS_VISIBLE))
            return false;
    return true;
}

WindowState* WindowState::TopLevel()
{
    WindowState* s = this;
    while (s->parent)
        s = s->parent;
    return s;
}

CRect WindowState::ClientInWindow() const
{
    int border = BorderWidth(*this);
    CRect client(border, border, rect.Width() - border, rect.Height() - border);
    if (style & WS_VSCROLL)
        client.right -= GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL)
        client.bottom -= GetSystemMetrics(SM_CYHSCROLL);
    if (client.right < client.left)
        client.right = client.left;
    if (client.bottom < client.top)
        client.bottom = client.top;
    return client;
}

CRect WindowState::BarRect(int bar) const
{
    CRect client = ClientInWindow();
    if (bar == SB_VERT && (style & WS_VSCROLL))
        return CRect(client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom);
    if (bar == SB_HORZ && (style & WS_HSCROLL))
        return CRect(client.left, client.bottom, client.right, client.bottom + GetSystemMetrics(SM_CYHSCROLL));
    return CRect();
}

CPoint WindowState::WindowOriginOnSurface()
{
    if (!parent)
        return CPoint(0, 0);
    return parent->ClientOriginOnSurface() + CSize(rect.left, rect.top);
}

CPoint WindowState::ClientOriginOnSurface()
{
    CRect client = ClientInWindow();
    return WindowOriginOnSurface() + CSize(client.left, client.top);
}

CPoint WindowState::ClientOriginOnScreen()
{
    CPoint origin = ClientOriginOnSurface();
    CRect topRect = TopLevel()->rect;
    return origin + CSize(topRect.left, topRect.top);
}

CRect WindowState::VisibleOnSurface(bool clientOnly)
{
    CRect area;
    if (clientOnly) {
        CPoint origin = ClientOriginOnSurface();
        CRect client = ClientRect();
        area = CRect(origin, CSize(client.Width(), client.Height()));
    } else {
        area = CRect(WindowOriginOnSurface(), CSize(rect.Width(), rect.Height()));
    }
    for (WindowState* p = parent; p; p = p->parent) {
        CPoint origin = p->ClientOriginOnSurface();
        CRect client = p->ClientRect();
        CRect bounds(origin, CSize(client.Width(), client.Height()));
        area.IntersectRect(&area, &bounds);
    }
    if (!IsVisible())
        area.SetRectEmpty();
    return area;
}

}
