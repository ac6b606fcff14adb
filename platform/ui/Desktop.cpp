#include "zorkit/platform/ui/internal/Desktop.h"

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

WindowState* StateOf(HWND hwnd) { return hwnd ? Desktop::Instance().Find(hwnd) : nullptr; }

WindowState* Desktop::Add(std::unique_ptr<WindowState> state)
{
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
            *msg = MSG{dirty->hwnd, WM_PAINT, 0, 0, GetTickCount(), cursorPos};
            return true;
        }
    }
    if (!InFilter(WM_TIMER, filterMin, filterMax))
        return false;
    auto now = std::chrono::steady_clock::now();
    for (auto& timer : timers) {
        if (timer.due > now || (hwnd && timer.hwnd != hwnd))
            continue;
        *msg = MSG{timer.hwnd, WM_TIMER, timer.id, LPARAM(reinterpret_cast<std::uintptr_t>(timer.proc)),
                   GetTickCount(), cursorPos};
        if (remove)
            timer.due = now + std::chrono::milliseconds(timer.elapse);
        return true;
    }
    return false;
}

long Desktop::MillisecondsUntilNext()
{
    if (timers.empty())
        return -1;
    auto now = std::chrono::steady_clock::now();
    auto next = timers.front().due;
    for (auto& timer : timers)
        next = std::min(next, timer.due);
    if (next <= now)
        return 0;
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count()) + 1;
}

}
