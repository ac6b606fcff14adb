#include "zorkit/platform/ui/ButtonControl.h"

#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorkit {

void ButtonControl::Paint(CWnd* wnd)
{
    CPaintDC dc(wnd);
    CRect face;
    wnd->GetClientRect(&face);
    dc.FillSolidRect(&face, GetSysColor(COLOR_BTNFACE));
    bool isDefault = (wnd->GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (isDefault || m_focused) {
        CBrush frame(GetSysColor(COLOR_WINDOWFRAME));
        dc.FrameRect(&face, &frame);
        face.DeflateRect(1, 1);
    }
    dc.DrawEdge(&face, m_pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    SelectFont(dc);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(wnd->IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    CRect text = face;
    if (m_pressed)
        text.OffsetRect(1, 1);
    CString caption;
    wnd->GetWindowText(caption);
    dc.DrawText(caption, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void ButtonControl::SetPressed(CWnd* wnd, bool pressed)
{
    if (m_pressed == pressed)
        return;
    m_pressed = pressed;
    wnd->Invalidate(FALSE);
}

void ButtonControl::Click(CWnd* wnd)
{
    HWND parent = ::GetParent(wnd->m_hWnd);
    if (parent)
        ::SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(wnd->GetDlgCtrlID()), WORD(BN_CLICKED)),
                      reinterpret_cast<LPARAM>(wnd->m_hWnd));
}

LRESULT ButtonControl::WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (HandleTextMessage(wnd, message, wParam, lParam, result))
        return result;
    HWND hwnd = wnd->m_hWnd;
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON |
               ((wnd->GetStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE:
        wnd->ModifyStyle(BS_TYPEMASK, DWORD(wParam) & BS_TYPEMASK);
        if (LOWORD(lParam))
            wnd->Invalidate();
        return 0;
    case BM_CLICK:
        Click(wnd);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_focused = message == WM_SETFOCUS;
        if (!m_focused)
            SetPressed(wnd, false);
        wnd->Invalidate(FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ::SetFocus(hwnd);
        ::SetCapture(hwnd);
        m_tracking = true;
        SetPressed(wnd, true);
        return 0;
    case WM_MOUSEMOVE:
        if (m_tracking) {
            CRect client;
            wnd->GetClientRect(&client);
            SetPressed(wnd, client.PtInRect(PointFromLParam(lParam)) != FALSE);
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!m_tracking)
            return 0;
        m_tracking = false;
        bool clicked = m_pressed;
        SetPressed(wnd, false);
        if (::GetCapture() == hwnd)
            ::ReleaseCapture();
        if (clicked)
            Click(wnd);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE)
            SetPressed(wnd, true);
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && m_pressed) {
            SetPressed(wnd, false);
            Click(wnd);
        }
        return 0;
    default:
        return ::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}
