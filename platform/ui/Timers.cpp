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
    return desktop.SetTimer(hwnd, id, std::max<UINT>(elapse, 10), proc);
}

BOOL KillTimer(HWND hwnd, std::uintptr_t id)
{
    // A window's timers end with it, so a gone window has none to kill.
    if (hwnd && !zorkit::StateOf(hwnd))
        return FALSE;
    return zorkit::Desktop::Instance().KillTimer(hwnd, id);
}
