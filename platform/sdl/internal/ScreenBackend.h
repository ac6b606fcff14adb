// The SDL side of a screen session: one ScreenWindow per visible top-level window,
// the event wait of the thread's message loop, the pointer shape, the clipboard bridge
// and the message-box presenter.
#pragma once

#include <map>
#include <memory>

#include "zorkit/platform/sdl/internal/ScreenWindow.h"
#include "zorkit/platform/ui/MessageLoop.h"

namespace zorkit {

class ScreenBackend final : public EventSource {
public:
    // Null when SDL's video cannot start.
    static std::unique_ptr<ScreenBackend> Start();
    ~ScreenBackend() override;

    void WaitForEvents(long timeoutMs) override;
    // Creates, places, hides and repaints the desktop windows to match the window system.
    void Sync();
    sdl::ScreenWindow* Find(HWND hwnd);
    sdl::ScreenWindow* FindById(Uint32 windowId);
    int WindowCount() const { return int(m_windows.size()); }
    // True for the event that wakes the wait when a message arrives.
    bool IsWakeEvent(const SDL_Event& event);

private:
    ScreenBackend();
    void UpdateCursor();
    long CaretTimeout();

    // The screen as the window system saw it before the desktop told its own.
    CSize m_screenBefore;
    CRect m_workAreaBefore;
    std::map<HWND, std::unique_ptr<sdl::ScreenWindow>> m_windows;
    std::map<int, sdl::CursorPtr> m_cursors;  // by SDL_SystemCursor
    int m_shownCursor = -1;
    Uint32 m_wakeEvent;
    Uint32 m_caretPhaseStart;
};

// Turns one SDL event into the window system's input or window messages; true when
// the event was used.
bool ProcessEvent(const SDL_Event& event, ScreenBackend& backend);

}
