// Keyboard focus, mouse capture, activation and the pointer.
#include <algorithm>

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
    HWND old = desktop.focus;
    if (old == hwnd)
        return old;
    if (s) {
        HWND top = s->TopLevel()->hwnd;
        if (desktop.active != top)
            desktop.active = top;
    }
    desktop.focus = hwnd;
    if (old && State(old))
        ::SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    // The old window may have moved the focus elsewhere meanwhile.
    if (hwnd && desktop.focus == hwnd && State(hwnd))
        ::SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus() { return Desktop::Instance().focus; }

HWND SetCapture(HWND hwnd)
{
    auto& desktop = Desktop::Instance();
    HWND old = desktop.capture;
    if (!State(hwnd) || old == hwnd)
        return old;
    desktop.capture = hwnd;
    if (old && State(old))
        ::SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

HWND GetCapture() { return Desktop::Instance().capture; }

BOOL ReleaseCapture()
{
    auto& desktop = Desktop::Instance();
    HWND old = desktop.capture;
    desktop.capture = nullptr;
    if (old && State(old))
        ::SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND SetActiveWindow(HWND hwnd)
{
    auto& desktop = Desktop::Instance();
    zorkit::WindowState* s = State(hwnd);
    HWND old = desktop.active;
    if (!s)
        return old;
    HWND top = s->TopLevel()->hwnd;
    desktop.active = top;
    zorkit::WindowState* focused = State(desktop.focus);
    if (!focused || focused->TopLevel()->hwnd != top)
        SetFocus(top);
    return old;
}

HWND GetActiveWindow() { return Desktop::Instance().active; }

BOOL ClipCursor(LPCRECT rect)
{
    auto& desktop = Desktop::Instance();
    desktop.clipping = rect != nullptr;
    if (rect) {
        desktop.clip = *rect;
        desktop.clip.NormalizeRect();
        desktop.cursorPos.x = std::clamp<LONG>(desktop.cursorPos.x, desktop.clip.left, std::max(desktop.clip.left, desktop.clip.right - 1));
        desktop.cursorPos.y = std::clamp<LONG>(desktop.cursorPos.y, desktop.clip.top, std::max(desktop.clip.top, desktop.clip.bottom - 1));
    }
    return TRUE;
}

BOOL GetClipCursor(LPRECT rect)
{
    auto& desktop = Desktop::Instance();
    *rect = desktop.clipping ? RECT(desktop.clip)
                             : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return TRUE;
}

BOOL GetCursorPos(LPPOINT point)
{
    *point = Desktop::Instance().cursorPos;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    auto& desktop = Desktop::Instance();
    CPoint p(x, y);
    if (desktop.clipping) {
        p.x = std::clamp<LONG>(p.x, desktop.clip.left, std::max(desktop.clip.left, desktop.clip.right - 1));
        p.y = std::clamp<LONG>(p.y, desktop.clip.top, std::max(desktop.clip.top, desktop.clip.bottom - 1));
    }
    desktop.cursorPos = p;
    return TRUE;
}
