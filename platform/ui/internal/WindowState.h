// What the window system keeps for one window handle (the desktop's side of a
// window): its object, class, place in the tree, geometry, styles, update area and
// scroll bars. A top-level window also owns the surface it and its children draw on.
// Used only on the thread that owns the window.
#pragma once

#include <memory>
#include <thread>
#include <vector>

#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/internal/ScrollBarState.h"
#include "zorkit/platform/ui/WindowClass.h"

class CWnd;
namespace zorkit {
class Surface;

struct WindowState final : IMessageTarget {
    HWND hwnd = nullptr;
    CWnd* wnd = nullptr;           // the object that receives the messages
    CWnd* super = nullptr;         // the object it replaced by subclassing, if any
    bool ownsWnd = false;          // wnd was made by the window system and dies with the window
    const WindowClassInfo* cls = nullptr;
    std::unique_ptr<ControlProc> control;

    WindowState* parent = nullptr;
    HWND owner = nullptr;
    std::vector<WindowState*> children;  // z-order, topmost first

    DWORD style = 0;
    DWORD exStyle = 0;
    UINT id = 0;
    CString text;
    CRect rect;  // in the parent's client coordinates; screen coordinates for a top-level window

    CSize reportedClient{-1, -1};  // the client size WM_SIZE last told
    CRect restored;                // where a maximised (WS_MAXIMIZE) top-level window was before

    CRect update;         // bounds of the invalid client area, empty when valid
    bool eraseOnPaint = false;
    bool frameDirty = false;  // borders and scroll bars need drawing
    bool redrawAllowed = true;

    ScrollBarState bars[2];  // SB_HORZ, SB_VERT

    std::shared_ptr<Surface> surface;  // top-level windows only
    bool destroying = false;
    std::thread::id ownerThread = std::this_thread::get_id();  // the thread that made it

    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

    bool IsChild() const { return parent != nullptr; }
    bool IsVisible() const;  // this window and every ancestor visible
    WindowState* TopLevel();
    // The client area within the window rectangle (window coordinates).
    CRect ClientInWindow() const;
    CRect ClientRect() const { return CRect(0, 0, ClientInWindow().Width(), ClientInWindow().Height()); }
    // The scroll bars' rectangles in window coordinates; empty when not shown.
    CRect BarRect(int bar) const;
    // Where the window's (0, 0) and its client's (0, 0) lie on the top-level surface.
    CPoint WindowOriginOnSurface();
    CPoint ClientOriginOnSurface();
    // Client (0, 0) in screen coordinates.
    CPoint ClientOriginOnScreen();
    // The part of the window (client = only the client area) that ancestors leave
    // visible, in surface coordinates.
    CRect VisibleOnSurface(bool clientOnly);
};

// The state of a handle, or null.
WindowState* StateOf(HWND hwnd);

}
