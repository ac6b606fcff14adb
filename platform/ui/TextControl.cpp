#include "zorkit/platform/ui/TextControl.h"

#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorkit {

bool TextControl::HandleTextMessage(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_PAINT:
        Paint(wnd);
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_SETTEXT:
        result = ::DefWindowProc(wnd->m_hWnd, message, wParam, lParam);
        wnd->Invalidate();
        return true;
    case WM_SETFONT:
        m_font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            wnd->Invalidate();
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(m_font);
        return true;
    default:
        return false;
    }
}

void TextControl::SelectFont(CDC& dc) const
{
    if (m_font)
        dc.SelectObject(CFont::FromHandle(m_font));
    else
        dc.SelectStockObject(DEFAULT_GUI_FONT);
}

}
