#include "zorkit/platform/ui/internal/Desktop.h"

#include <algorithm>
#include <cassert>

#include "zorkit/platform/core/Time.h"

#include "zorkit/platform/ui/Messages.h"
#include "zorkit/platform/ui/WinUser.h"

namespace {

bool InFilter(UINT message, UINT filterMin, UINT filterMax)
{
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

zorkit::WindowState* FindDirty(zorkit::WindowState* state)
{
    if (!(state->style & WS_VISIBLE))
        return nullptr;
    if (!state->update.IsRectEmpty())
        return state;
    for (auto* child : state->children)
        if (auto* dirty = FindDirty(child))
            return dirty;
    return nullptr;
}

bool IsWithin(zorkit::WindowState* state, HWND ancestor)
{
    for (; state; state = state->parent)
        if (state->hwnd == ancestor)
            return true;
    return false;
}

}

namespace zorkit {

Desktop& Desktop::Instance()
{
    static Desktop desktop;
    return desktop;
}

WindowState* Desktop::Find(HWND hwnd) const
{
    auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second.get();
}

WindowState* StateOf(HWND hwnd)
{
    WindowState* state = hwnd ? Desktop::Instance().Find(hwnd) : nullptr;
    assert((!state || state->ownerThread == std::this_thread::get_id()) &&
           "a window is used only on the thread that made it: post or send it a message from other threads");
    return state;
}

WindowState* Desktop::Add(std::unique_ptr<WindowState> state)
{
    // The desktop's paint and timer source serves every window from the pump that asks,
    // so a second window thread would be handed the first one's messages.
    assert((m_windows.empty() || m_windows.begin()->second->ownerThread == std::this_thread::get_id()) &&
           "all windows live on one thread: create this one on the thread that made the others (post it a message)");
    AttachToThread();
    state->hwnd = RegisterMessageTarget(state.get());
    WindowState* raw = state.get();
    m_windows[raw->hwnd] = std::move(state);
    return raw;
}

void Desktop::Remove(HWND hwnd)
{
    UnregisterMessageTarget(hwnd);
    m_windows.erase(hwnd);
}

void Desktop::AttachToThread()
{
    thread_local bool attached = false;
    if (attached)
        return;
    attached = true;
    SetSyntheticMessageSource(this);
    SetMessageFilter([](MSG* msg) -> bool {
        if (AfxPreTranslateMessage(msg))
            return true;
        TranslateMessage(msg);
        return false;
    });
}

WindowState* Desktop::NextToPaint(HWND within) const
{
    for (auto* top : m_topLevels) {
        if (auto* dirty = FindDirty(top))
            if (!within || IsWithin(dirty, within))
                return dirty;
    }
    return nullptr;
}

bool Desktop::TakeSynthetic(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    if (InFilter(WM_PAINT, filterMin, filterMax)) {
        if (WindowState* dirty = NextToPaint(hwnd)) {
            *msg = MSG{dirty->hwnd, WM_PAINT, 0, 0, GetTickCount(), m_pointer};
            return true;
        }
    }
    if (!InFilter(WM_TIMER, filterMin, filterMax))
        return false;
    auto now = std::chrono::steady_clock::now();
    for (auto& timer : m_timers) {
        if (timer.due > now || (hwnd && timer.hwnd != hwnd))
            continue;
        *msg = MSG{timer.hwnd, WM_TIMER, timer.id, LPARAM(reinterpret_cast<std::uintptr_t>(timer.proc)),
                   GetTickCount(), m_pointer};
        if (remove)
            timer.due = now + std::chrono::milliseconds(timer.elapse);
        return true;
    }
    return false;
}

long Desktop::MillisecondsUntilNext()
{
    if (m_timers.empty())
        return -1;
    auto now = std::chrono::steady_clock::now();
    auto next = m_timers.front().due;
    for (auto& timer : m_timers)
        next = std::min(next, timer.due);
    if (next <= now)
        return 0;
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()) + 1;
}

void Desktop::MovePointer(CPoint screen)
{
    if (m_confined) {
        screen.x = std::clamp<LONG>(screen.x, m_confinement.left, std::max(m_confinement.left, m_confinement.right - 1));
        screen.y = std::clamp<LONG>(screen.y, m_confinement.top, std::max(m_confinement.top, m_confinement.bottom - 1));
    }
    m_pointer = screen;
}

void Desktop::Confine(const RECT* screen)
{
    m_confined = screen != nullptr;
    if (!screen)
        return;
    m_confinement = *screen;
    m_confinement.NormalizeRect();
    MovePointer(m_pointer);
}

std::uintptr_t Desktop::SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse, TIMERPROC proc)
{
    const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(elapse);
    for (Timer& timer : m_timers) {
        if (timer.hwnd == hwnd && timer.id == id) {
            timer.elapse = elapse;
            timer.due = due;
            timer.proc = proc;
            return id;
        }
    }
    if (!hwnd && id == 0) {
        // Timers without a window get a fresh id.
        id = 1;
        for (const Timer& timer : m_timers)
            if (!timer.hwnd)
                id = std::max<std::uintptr_t>(id, timer.id + 1);
    }
    m_timers.push_back(Timer{hwnd, UINT(id), elapse, due, proc});
    return id;
}

bool Desktop::KillTimer(HWND hwnd, std::uintptr_t id)
{
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == m_timers.end())
        return false;
    m_timers.erase(it);
    return true;
}

void Desktop::Forget(HWND hwnd)
{
    m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
                   m_timers.end());
    if (m_focus == hwnd)
        m_focus = nullptr;
    if (m_active == hwnd)
        m_active = nullptr;
    if (m_capture == hwnd)
        m_capture = nullptr;
    if (m_leaveTracked == hwnd)
        m_leaveTracked = nullptr;
}

}
