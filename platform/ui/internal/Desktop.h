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

    // Keyboard focus, mouse capture and the active top-level window (null: none). The
    // setters only record; the window functions send the messages that go with a change.
    HWND Focus() const { return m_focus; }
    HWND Capture() const { return m_capture; }
    HWND Active() const { return m_active; }
    void SetFocus(HWND hwnd) { m_focus = hwnd; }
    void SetCapture(HWND hwnd) { m_capture = hwnd; }
    void SetActive(HWND hwnd) { m_active = hwnd; }
    // The window that asked to hear when the pointer leaves its client area (null: none).
    HWND LeaveTracked() const { return m_leaveTracked; }
    void TrackLeave(HWND hwnd) { m_leaveTracked = hwnd; }

    // The pointer in screen coordinates; it stays inside the confinement while there is one.
    CPoint Pointer() const { return m_pointer; }
    void MovePointer(CPoint screen);
    // The confinement rectangle (screen coordinates), or null when the pointer is free.
    const CRect* Confinement() const { return m_confined ? &m_confinement : nullptr; }
    void Confine(const RECT* screen);

    // Window timers: setting an existing (window, id) pair restarts it; a window's
    // timers end with the window.
    std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse, TIMERPROC proc);
    bool KillTimer(HWND hwnd, std::uintptr_t id);

    // Forgets a window that is going away: its focus, capture, activation and timers.
    void Forget(HWND hwnd);

    // A press on a scroll bar being followed; it receives the pointer until release.
    ScrollTracker* Tracker() const { return m_tracker.get(); }
    void BeginTracking(std::unique_ptr<ScrollTracker> tracker) { m_tracker = std::move(tracker); }
    std::unique_ptr<ScrollTracker> EndTracking() { return std::move(m_tracker); }

    bool TakeSynthetic(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove) override;
    long MillisecondsUntilNext() override;

    // The first window (parents before children, top of the z-order first) that
    // needs painting, or null.
    WindowState* NextToPaint(HWND within) const;

private:
    struct Timer {
        HWND hwnd;
        UINT id;
        UINT elapse;
        std::chrono::steady_clock::time_point due;
        TIMERPROC proc;
    };

    Desktop() = default;
    std::map<HWND, std::unique_ptr<WindowState>> m_windows;
    std::vector<WindowState*> m_topLevels;  // topmost first
    HWND m_focus = nullptr;
    HWND m_capture = nullptr;
    HWND m_active = nullptr;
    HWND m_leaveTracked = nullptr;
    CPoint m_pointer;
    bool m_confined = false;
    CRect m_confinement;
    std::vector<Timer> m_timers;
    std::unique_ptr<ScrollTracker> m_tracker;
};

}
