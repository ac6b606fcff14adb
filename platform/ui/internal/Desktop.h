// The window system's shared state (the desktop's side of every window): the handle
// registry, the top-level z-order, focus, capture, activation, the pointer and its
// confinement, and timers. It also makes the paint and timer messages the pump asks
// for when the queue is empty. All of it belongs to the thread that runs the windows.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <vector>

#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/internal/ScrollTracker.h"
#include "zorkit/platform/ui/WinUser.h"
#include "zorkit/platform/ui/internal/WindowState.h"


namespace zorkit {

class Desktop final : public ISyntheticMessageSource {
public:
    static Desktop& Instance();

    WindowState* Find(HWND hwnd) const;
    // Registers a new window with the messaging core and keeps its state.
    WindowState* Add(std::unique_ptr<WindowState> state);
    void Remove(HWND hwnd);
    std::vector<WindowState*>& TopLevels() { return m_topLevels; }
    // Installs the paint/timer source and pre-translation on the calling thread.
    void AttachToThread();

    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND active = nullptr;
    CPoint cursorPos;
    bool clipping = false;
    CRect clip;  // screen coordinates, valid while clipping

    struct Timer {
        HWND hwnd;
        UINT id;
        UINT elapse;
        std::chrono::steady_clock::time_point due;
        TIMERPROC proc;
    };
    std::vector<Timer> timers;

    // A press on a scroll bar being followed; it receives the pointer until release.
    std::unique_ptr<ScrollTracker> tracker;

    bool TakeSynthetic(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove) override;
    long MillisecondsUntilNext() override;

    // The first window (parents before children, top of the z-order first) that
    // needs painting, or null.
    WindowState* NextToPaint(HWND within) const;

private:
    Desktop() = default;
    std::map<HWND, std::unique_ptr<WindowState>> m_windows;
    std::vector<WindowState*> m_topLevels;  // topmost first
};

}
