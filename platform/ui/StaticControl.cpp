#include "zorkit/platform/ui/StaticControl.h"

#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/PaintDC.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorkit {

void StaticControl::Paint(CWnd* wnd)
{
    CPaintDC dc(wnd);
    CRect client;
    wnd->GetClientRect(&client);
    dc.FillSolidRect(&client, GetSysColor(COLOR_BTNFACE));
    DWORD style = wnd->GetStyle();
    DWORD type = style & SS_TYPEMASK;
    if (type == SS_ETCHEDHORZ) {
        dc.DrawEdge(&client, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (type == SS_ETCHEDVERT) {
        dc.DrawEdge(&client, EDGE_ETCHED, BF_LEFT);
        return;
    }
    SelectFont(dc);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(wnd->IsWindowEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    UINT format = type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    format |= type == SS_LEFTNOWORDWRAP ? 0 : DT_WORDBREAK;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    CString text;
    wnd->GetWindowText(text);
    dc.DrawText(text, &client, format | DT_EXPANDTABS);
}

LRESULT StaticControl::WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (HandleTextMessage(wnd, message, wParam, lParam, result))
        return result;
    if (message == WM_GETDLGCODE)
        return DLGC_STATIC;
    return ::DefWindowProc(wnd->m_hWnd, message, wParam, lParam);
}

}
