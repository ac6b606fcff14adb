// The on-screen backend: while a ScreenSession lives on the windows' thread, every
// visible top-level window is a real desktop window showing its surface (the caret
// blinking over it, the pointer shaped by GetCursor()), desktop input reaches the
// windows through InjectInput, resizing and the close box become WM_SIZE and WM_CLOSE,
// the clipboard is the desktop's and message boxes are shown. Hosts include only this
// header; SDL stays inside the backend.
//
//   if (auto screen = zorkit::ScreenSession::Start()) {
//       mainWnd.ShowWindow(SW_SHOW);
//       screen->Run([&] { return !mainWnd.m_hWnd; });   // until the window is closed
//   }
#pragma once

#include <functional>
#include <memory>

#include "zorkit/platform/gdi/Surface.h"

namespace zorkit {

class ScreenBackend;

class ScreenSession {
public:
    // Null when there is no display (or SDL cannot start); only one session at a time.
    static std::unique_ptr<ScreenSession> Start();
    ~ScreenSession();
    ScreenSession(const ScreenSession&) = delete;
    ScreenSession& operator=(const ScreenSession&) = delete;

    // Runs the thread's messages and the desktop's events until done() is true (TRUE)
    // or WM_QUIT arrives (FALSE). Waits without spinning between events, timers and
    // messages posted by other threads.
    bool Run(const std::function<bool()>& done);
    // Brings the desktop windows up to date with the window system now.
    void Present();
    // The desktop window shows this window now: pixels as the screen has them, null
    // when the window has no desktop window.
    std::shared_ptr<Surface> ReadScreen(HWND hwnd);
    // Number of desktop windows currently shown.
    int WindowCount() const;
    // The part of the first display that windows may take (without panels and docks),
    // in the window system's screen coordinates.
    CRect WorkArea() const;

private:
    explicit ScreenSession(std::unique_ptr<ScreenBackend> backend);
    std::unique_ptr<ScreenBackend> m_backend;
};

}
