// The window system's functions on window handles, in the desktop's shapes. CWnd
// wraps them; code that holds only a handle (a title tip finding the window under the
// pointer, a control talking to its parent) calls them directly. For the thread that
// owns the windows.
#pragma once

#include "zorkit/platform/core/Geometry.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/Cursor.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/Messages.h"
#include "zorkit/platform/ui/ScrollInfo.h"
#include "zorkit/platform/ui/Styles.h"

typedef int* LPINT;
typedef void (*TIMERPROC)(HWND, UINT, std::uintptr_t, DWORD);

// The desktop's default handling of every message a window does not handle itself.
LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL DestroyWindow(HWND hwnd);

// Tree.
HWND GetParent(HWND hwnd);
HWND SetParent(HWND child, HWND newParent);
HWND GetWindow(HWND hwnd, UINT relation);
HWND GetTopWindow(HWND parent);  // null parent: the top-level windows
HWND GetDlgItem(HWND parent, int id);
int GetDlgCtrlID(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
// The deepest visible window under a screen point, or null.
HWND WindowFromPoint(POINT screen);
// The visible child of parent under a client point; parent itself when none.
HWND ChildWindowFromPoint(HWND parent, POINT client);

constexpr int GWL_STYLE = -16, GWL_EXSTYLE = -20, GWL_ID = -12;
LONG GetWindowLong(HWND hwnd, int index);
// Style changes do not move or repaint the window; see SetWindowPos(SWP_FRAMECHANGED).
LONG SetWindowLong(HWND hwnd, int index, LONG value);

// Geometry.
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL GetWindowRect(HWND hwnd, LPRECT rect);  // screen coordinates
BOOL ClientToScreen(HWND hwnd, LPPOINT point);
BOOL ScreenToClient(HWND hwnd, LPPOINT point);
// Maps points from one client area to another (null: the screen).
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// State.
BOOL ShowWindow(HWND hwnd, int command);  // TRUE when it was visible before
BOOL IsWindowVisible(HWND hwnd);
// A top-level window shown maximised (SW_SHOWMAXIMIZED until SW_RESTORE).
BOOL IsZoomed(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);  // TRUE when it was disabled before
BOOL IsWindowEnabled(HWND hwnd);
BOOL SetWindowText(HWND hwnd, LPCTSTR text);
int GetWindowText(HWND hwnd, LPTSTR buffer, int size);
int GetWindowTextLength(HWND hwnd);

// Focus, capture, activation and the pointer.
HWND SetFocus(HWND hwnd);  // returns the window that had the focus
HWND GetFocus();
HWND SetCapture(HWND hwnd);
HWND GetCapture();
BOOL ReleaseCapture();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
// Asks for one WM_MOUSELEAVE when the pointer next leaves the window's client area.
struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};
constexpr DWORD TME_LEAVE = 0x00000002, TME_CANCEL = 0x80000000;
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
// Confines the pointer to a screen rectangle; null frees it.
BOOL ClipCursor(LPCRECT rect);
BOOL GetClipCursor(LPRECT rect);
BOOL GetCursorPos(LPPOINT point);
// Moves the pointer (as the injected input would, but without messages).
BOOL SetCursorPos(int x, int y);

// Painting.
BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase);
BOOL ValidateRect(HWND hwnd, LPCRECT rect);
BOOL UpdateWindow(HWND hwnd);
BOOL RedrawWindow(HWND hwnd, LPCRECT rect, void* region, UINT flags);
BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
// Moves the client pixels of scroll (the whole client area when null) by (dx, dy),
// within clip when given, and invalidates what was uncovered. With a null scroll
// rectangle the children move too.
BOOL ScrollWindow(HWND hwnd, int dx, int dy, LPCRECT scroll, LPCRECT clip);
int ScrollWindowEx(HWND hwnd, int dx, int dy, LPCRECT scroll, LPCRECT clip, void* updateRegion,
                   LPRECT update, UINT flags);

// Window scroll bars and scroll-bar controls (SB_CTL).
int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw);
BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info);
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND hwnd, int bar, UINT arrows);

// Timers: WM_TIMER to the window every `elapse` ms while the thread pumps, or a call
// of proc when one is given. Returns the id, 0 on failure.
std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, std::uintptr_t id);

// Keyboard state from the input the window system was given. The high bit is set
// while the key is down, the low bit toggles with each press.
short GetKeyState(int virtualKey);
short GetAsyncKeyState(int virtualKey);

// Turns a key-down message into the character messages a desktop makes for keys
// without text of their own (Return, Tab, Backspace, Escape, Ctrl+letter).
BOOL TranslateMessage(const MSG* msg);
// Offers a message to the windows from its target up to the top level (their
// PreTranslateMessage); TRUE when one of them took it.
BOOL AfxPreTranslateMessage(MSG* msg);
