#include "zorkit/platform/ui/Input.h"

#include <cstdlib>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/internal/Desktop.h"
#include "zorkit/platform/ui/internal/KeyState.h"
#include "zorkit/platform/ui/internal/MouseButtons.h"
#include "zorkit/platform/ui/Wnd.h"

namespace {

using zorkit::ButtonMessages;
using zorkit::Desktop;
using zorkit::InputKind;
using zorkit::MouseButton;

struct LastClick {
    HWND hwnd = nullptr;
    MouseButton button = MouseButton::Left;
    DWORD time = 0;
    CPoint point;
    bool armed = false;
};

LastClick& Last()
{
    static LastClick last;
    return last;
}

WPARAM MouseKeyFlags()
{
    WPARAM flags = 0;
    if (zorkit::IsKeyDown(VK_LBUTTON))
        flags |= MK_LBUTTON;
    if (zorkit::IsKeyDown(VK_RBUTTON))
        flags |= MK_RBUTTON;
    if (zorkit::IsKeyDown(VK_MBUTTON))
        flags |= MK_MBUTTON;
    if (zorkit::IsKeyDown(VK_SHIFT))
        flags |= MK_SHIFT;
    if (zorkit::IsKeyDown(VK_CONTROL))
        flags |= MK_CONTROL;
    return flags;
}

LPARAM Pack(CPoint p) { return MAKELPARAM(WORD(p.x), WORD(p.y)); }

bool IsDoubleClick(HWND target, MouseButton button, CPoint point, DWORD time)
{
    LastClick& last = Last();
    zorkit::WindowState* s = zorkit::StateOf(target);
    bool wantsDouble = s && s->cls && (s->cls->attributes.style & CS_DBLCLKS);
    bool isDouble = wantsDouble && last.armed && last.hwnd == target && last.button == button &&
                    time - last.time <= zorkit::SystemSettings::Instance().DoubleClickTime() &&
                    std::abs(point.x - last.point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                    std::abs(point.y - last.point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    // A double click uses up the first click: a third click starts afresh.
    last = isDouble ? LastClick{} : LastClick{target, button, time, point, true};
    return isDouble;
}

// The window that asked to hear of the pointer leaving it hears once the pointer is
// over another window or outside its client area.
void ReportLeaving(CPoint screen)
{
    auto& desktop = Desktop::Instance();
    HWND tracked = desktop.LeaveTracked();
    if (!tracked)
        return;
    if (WindowFromPoint(screen) == tracked && SendMessage(tracked, WM_NCHITTEST, 0, Pack(screen)) == HTCLIENT)
        return;
    desktop.TrackLeave(nullptr);
    PostMessage(tracked, WM_MOUSELEAVE, 0, 0);
}

// `posted` tells whether a message went into a queue; a click a window ate did not.
BOOL InjectMouse(const zorkit::InputEvent& event, bool& posted)
{
    auto& desktop = Desktop::Instance();
    SetCursorPos(event.point.x, event.point.y);
    CPoint screen = desktop.Pointer();
    const ButtonMessages& buttons = zorkit::kButtons[int(event.button)];
    if (event.kind == InputKind::ButtonDown || event.kind == InputKind::ButtonUp)
        zorkit::RecordKey(buttons.vk, event.kind == InputKind::ButtonDown);

    ReportLeaving(screen);
    if (event.kind == InputKind::Wheel) {
        HWND to = desktop.Focus() ? desktop.Focus() : WindowFromPoint(screen);
        if (!to)
            return FALSE;
        posted = PostMessage(to, WM_MOUSEWHEEL, MAKEWPARAM(WORD(MouseKeyFlags()), WORD(short(event.wheelDelta))),
                           Pack(screen));
        return posted;
    }

    HWND target = desktop.Capture() ? desktop.Capture() : WindowFromPoint(screen);
    zorkit::WindowState* s = zorkit::StateOf(target);
    if (!s)
        return FALSE;
    UINT message = event.kind == InputKind::MouseMove    ? WM_MOUSEMOVE
                   : event.kind == InputKind::ButtonDown ? buttons.down
                                                         : buttons.up;
    LRESULT hit = HTCLIENT;
    if (!desktop.Capture()) {
        hit = SendMessage(target, WM_NCHITTEST, 0, Pack(screen));
        if (!zorkit::StateOf(target))
            return FALSE;
        if (event.kind == InputKind::ButtonDown) {
            HWND top = s->TopLevel()->hwnd;
            LRESULT answer = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                         MAKELPARAM(WORD(hit), WORD(message)));
            if ((answer == MA_ACTIVATE || answer == 2) && desktop.Active() != top)
                SetActiveWindow(top);
            if (answer == 2 || answer == 4)  // ...ANDEAT: the click stops here
                return TRUE;
        }
        if (!zorkit::StateOf(target))
            return FALSE;
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(WORD(hit), WORD(message)));
        if (!(s = zorkit::StateOf(target)) || (s->style & WS_DISABLED))
            return FALSE;
    }
    DWORD time = event.time ? event.time : GetTickCount();
    bool dbl = event.kind == InputKind::ButtonDown && IsDoubleClick(target, event.button, screen, time);
    if (hit == HTCLIENT) {
        if (dbl)
            message = buttons.dblclk;
        CPoint client = screen;
        ScreenToClient(target, &client);
        posted = PostMessage(target, message, MouseKeyFlags(), Pack(client));
        return posted;
    }
    UINT ncMessage = event.kind == InputKind::MouseMove    ? WM_NCMOUSEMOVE
                     : event.kind == InputKind::ButtonDown ? (dbl ? buttons.ncDblclk : buttons.ncDown)
                                                           : buttons.ncUp;
    posted = PostMessage(target, ncMessage, WPARAM(hit), Pack(screen));
    return posted;
}

BOOL InjectKey(const zorkit::InputEvent& event)
{
    auto& desktop = Desktop::Instance();
    bool wasDown = zorkit::IsKeyDown(event.key);
    bool down = event.kind == InputKind::KeyDown;
    if (event.kind != InputKind::Char)
        zorkit::RecordKey(event.key, down);
    HWND target = desktop.Focus() ? desktop.Focus() : desktop.Active();
    if (!zorkit::StateOf(target))
        return FALSE;
    if (event.kind == InputKind::Char)
        return PostMessage(target, WM_CHAR, WPARAM(event.key & 0xFF), 1);
    bool alt = zorkit::IsKeyDown(VK_MENU) && !zorkit::IsKeyDown(VK_CONTROL);
    LPARAM flags = 1;
    if (alt)
        flags |= LPARAM(1) << 29;
    if (wasDown)
        flags |= LPARAM(1) << 30;
    if (!down)
        flags |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    UINT message = down ? (alt || event.key == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN)
                        : (alt ? WM_SYSKEYUP : WM_KEYUP);
    return PostMessage(target, message, event.key, LPARAM(std::uint32_t(flags)));
}

}

namespace zorkit {

BOOL InjectInput(const InputEvent& event)
{
    switch (event.kind) {
    case InputKind::KeyDown:
    case InputKind::KeyUp:
        if (!InjectKey(event)) {
            SettleKey(event.key, event.kind == InputKind::KeyDown);
            return FALSE;
        }
        return TRUE;
    case InputKind::Char:
        return InjectKey(event);
    case InputKind::ButtonDown:
    case InputKind::ButtonUp: {
        bool posted = false;
        BOOL taken = InjectMouse(event, posted);
        if (!posted)
            SettleKey(kButtons[int(event.button)].vk, event.kind == InputKind::ButtonDown);
        return taken;
    }
    default: {
        bool posted = false;
        return InjectMouse(event, posted);
    }
    }
}

namespace {

BOOL ForEachGbkByte(const std::string& utf8, BOOL (*give)(const InputEvent&))
{
    BOOL any = FALSE;
    for (unsigned char byte : GbkFromUtf8(utf8))
        any |= give(InputEvent{InputKind::Char, CPoint(), MouseButton::Left, 0, byte, 0});
    return any;
}

}

BOOL InjectText(const std::string& utf8) { return ForEachGbkByte(utf8, InjectInput); }

BOOL DeliverInput(const InputEvent& event)
{
    PumpPendingMessages();
    BOOL taken = InjectInput(event);
    PumpPendingMessages();
    return taken;
}

BOOL DeliverText(const std::string& utf8) { return ForEachGbkByte(utf8, DeliverInput); }

void PumpPendingMessages()
{
    PumpMessagesUntil([] { return false; }, 0);
}

}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track)
{
    if (!track || !zorkit::StateOf(track->hwndTrack))
        return FALSE;
    auto& desktop = Desktop::Instance();
    if (track->dwFlags & TME_CANCEL) {
        if (desktop.LeaveTracked() == track->hwndTrack)
            desktop.TrackLeave(nullptr);
    } else if (track->dwFlags & TME_LEAVE) {
        desktop.TrackLeave(track->hwndTrack);
    }
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    UINT ch = 0;
    UINT key = UINT(msg->wParam);
    if (key == VK_RETURN || key == VK_TAB || key == VK_BACK || key == VK_ESCAPE)
        ch = key;
    else if (GetKeyState(VK_CONTROL) < 0 && key >= 'A' && key <= 'Z')
        ch = key - 'A' + 1;
    if (!ch)
        return FALSE;
    return PostMessage(msg->hwnd, WM_CHAR, ch, msg->lParam);
}

namespace {

// While a scroll bar follows a press, the pointer's messages are its own.
bool FeedScrollTracker(const MSG* msg)
{
    auto& desktop = Desktop::Instance();
    zorkit::ScrollTracker* tracker = desktop.Tracker();
    if (!tracker)
        return false;
    bool client = msg->message == WM_MOUSEMOVE || msg->message == WM_LBUTTONUP;
    bool nonClient = msg->message == WM_NCMOUSEMOVE || msg->message == WM_NCLBUTTONUP;
    if (!client && !nonClient)
        return false;
    CPoint screen(short(LOWORD(msg->lParam)), short(HIWORD(msg->lParam)));
    if (client)
        ClientToScreen(msg->hwnd, &screen);
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
        tracker->MouseMove(screen);
    } else {
        desktop.EndTracking()->ButtonUp(screen);
    }
    return true;
}

}

BOOL AfxPreTranslateMessage(MSG* msg)
{
    if (!zorkit::StateOf(msg->hwnd))
        return FALSE;
    if (FeedScrollTracker(msg))
        return TRUE;
    return CWnd::WalkPreTranslateTree(nullptr, msg);
}
