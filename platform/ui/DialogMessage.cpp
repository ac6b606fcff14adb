// The dialog keyboard: focus movement between tab stops and the Return and Escape keys.
#include <algorithm>
#include <vector>

#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/ui/ButtonControl.h"
#include "zorkit/platform/ui/Dialog.h"
#include "zorkit/platform/ui/EditControl.h"

namespace {

// By the control's own styles: the dialog itself may still be hidden.
bool IsTabStop(HWND hwnd)
{
    DWORD style = DWORD(::GetWindowLong(hwnd, GWL_STYLE));
    return (style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE);
}

// The dialog's child that is or contains hwnd.
HWND ChildOf(HWND dialog, HWND hwnd)
{
    while (hwnd && ::GetParent(hwnd) != dialog)
        hwnd = ::IsChild(dialog, hwnd) ? ::GetParent(hwnd) : nullptr;
    return hwnd;
}

void Command(HWND dialog, int id)
{
    HWND control = ::GetDlgItem(dialog, id);
    if (control && !::IsWindowEnabled(control)) {
        MessageBeep(0);
        return;
    }
    ::SendMessage(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), WORD(BN_CLICKED)), reinterpret_cast<LPARAM>(control));
}

}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
    std::vector<HWND> stops;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (IsTabStop(child) || child == ChildOf(dialog, control))
            stops.push_back(child);
    if (previous)
        std::reverse(stops.begin(), stops.end());
    auto at = std::find(stops.begin(), stops.end(), ChildOf(dialog, control));
    for (std::size_t step = 1; at != stops.end() && step <= stops.size(); ++step) {
        HWND next = stops[std::size_t(at - stops.begin() + std::ptrdiff_t(step)) % stops.size()];
        if (IsTabStop(next))
            return next;
    }
    for (HWND candidate : stops)
        if (IsTabStop(candidate))
            return candidate;
    return nullptr;
}

BOOL IsDialogMessage(HWND dialog, MSG* msg)
{
    if (msg->message != WM_KEYDOWN || (msg->hwnd != dialog && !::IsChild(dialog, msg->hwnd)))
        return FALSE;
    UINT code = msg->hwnd == dialog
                    ? 0
                    : UINT(::SendMessage(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg)));
    if (code & DLGC_WANTALLKEYS)
        return FALSE;
    switch (msg->wParam) {
    case VK_TAB: {
        if (code & DLGC_WANTTAB)
            return FALSE;
        HWND next = GetNextDlgTabItem(dialog, msg->hwnd == dialog ? nullptr : msg->hwnd,
                                      GetKeyState(VK_SHIFT) < 0);
        if (next) {
            ::SetFocus(next);
            if (::SendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                ::SendMessage(next, EM_SETSEL, 0, -1);
        }
        return TRUE;
    }
    case VK_RETURN:
        if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
            Command(dialog, ::GetDlgCtrlID(msg->hwnd));
        } else {
            LRESULT defId = ::SendMessage(dialog, DM_GETDEFID, 0, 0);
            Command(dialog, HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : IDOK);
        }
        return TRUE;
    case VK_ESCAPE:
        Command(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}
