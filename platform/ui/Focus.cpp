// Keyboard focus, mouse capture, activation and the pointer.
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/internal/Desktop.h"

namespace {

using zorkit::Desktop;

zorkit::WindowState* State(HWND hwnd) { return zorkit::StateOf(hwnd); }

}

HWND SetFocus(HWND hwnd)
{
    auto& desktop = Desktop::Instance();
    zorkit::WindowState* s = State(hwnd);
    if (hwnd && (!s || (s->style & WS_DISABLED)))
        return nullptr;
    HWND old = desktop.Focus();
    if (old == hwnd)
        return old;
    if (s)
        desktop.SetActive(s->TopLevel()->hwnd);
    desktop.SetFocus(hwnd);
    if (old && State(old))
        ::SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    // The old window may have moved the focus elsewhere meanwhile.
    if (hwnd && desktop.Focus() == hwnd && State(hwnd))
        ::SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() { return Desktop::Instance().Focus(); }

HWND SetCapture(HWND hwnd)
{
    auto& desktop = Desktop::Instance();
    HWND old = desktop.Capture();
    if (!State(hwnd) || old == hwnd)
        return old;
    desktop.SetCapture(hwnd);
    if (old && State(old))
        ::SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

HWND GetCapture() { return Desktop::Instance().Capture(); }

BOOL ReleaseCapture()
{
    auto& desktop = Desktop::Instance();
    HWND old = desktop.Capture();
    desktop.SetCapture(nullptr);
    if (old && State(old))
        ::SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND SetActiveWindow(HWND hwnd)
{
    auto& desktop = Desktop::Instance();
    zorkit::WindowState* s = State(hwnd);
    HWND old = desktop.Active();
    if (!s)
        return old;
    HWND top = s->TopLevel()->hwnd;
    desktop.SetActive(top);
    zorkit::WindowState* focused = State(desktop.Focus());
    if (!focused || focused->TopLevel()->hwnd != top)
        SetFocus(top);
    return old;
}

HWND GetActiveWindow() { return Desktop::Instance().Active(); }

BOOL ClipCursor(LPCRECT rect)
{
    Desktop::Instance().Confine(rect);
    return TRUE;
}

BOOL GetClipCursor(LPRECT rect)
{
    const CRect* confinement = Desktop::Instance().Confinement();
    *rect = confinement ? RECT(*confinement) : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return TRUE;
}

BOOL GetCursorPos(LPPOINT point)
{
    *point = Desktop::Instance().Pointer();
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    Desktop::Instance().MovePointer(CPoint(x, y));
    return TRUE;
}
