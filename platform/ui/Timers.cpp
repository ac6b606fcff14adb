// Window timers; the pump makes their WM_TIMER messages (Desktop::TakeSynthetic).
#include <algorithm>

#include "zorkit/platform/ui/internal/Desktop.h"

std::uintptr_t SetTimer(HWND hwnd, std::uintptr_t id, UINT elapse, TIMERPROC proc)
{
    auto& desktop = zorkit::Desktop::Instance();
    if (hwnd && !zorkit::StateOf(hwnd))
        return 0;
    desktop.AttachToThread();
    // The desktop keeps tiny intervals at a sane minimum.
    elapse = std::max<UINT>(elapse, 10);
    auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(elapse);
    for (auto& timer : desktop.timers) {
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
        for (auto& timer : desktop.timers)
            if (!timer.hwnd)
                id = std::max<std::uintptr_t>(id, timer.id + 1);
    }
    desktop.timers.push_back(zorkit::Desktop::Timer{hwnd, UINT(id), elapse, due, proc});
    return id;
}

BOOL KillTimer(HWND hwnd, std::uintptr_t id)
{
    auto& timers = zorkit::Desktop::Instance().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const zorkit::Desktop::Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end())
        return FALSE;
    timers.erase(it);
    return TRUE;
}
