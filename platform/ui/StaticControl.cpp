#include "platform/ui/StaticControl.h"

#include "platform/gdi/Font.h"
#include "platform/gdi/SystemSettings.h"
#include "platform/ui/PaintDC.h"
#include "platform/ui/Wnd.h"

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
    if (m_font)
        dc.SelectObject(CFont::FromHandle(m_font));
    else
        dc.SelectStockObject(DEFAULT_GUI_FONT);
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
    HWND hwnd = wnd->m_hWnd;
    switch (message) {
    case WM_PAINT:
        Paint(wnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT: {
        LRESULT result = ::DefWindowProc(hwnd, message, wParam, lParam);
        wnd->Invalidate();
        return result;
    }
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            wnd->Invalidate();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    default:
        return ::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}
