#include "zorkit/platform/ui/internal/ScrollBarControl.h"

#include "zorkit/platform/ui/internal/Desktop.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/internal/NonClient.h"
#include "zorkit/platform/ui/PaintDC.h"

namespace zorkit {

LRESULT ScrollBarControl::WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = wnd->m_hWnd;
    WindowState* s = StateOf(hwnd);
    bool vertical = (s->style & SBS_VERT) != 0;
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(wnd);
        DrawScrollBar(dc, s->ClientRect(), vertical, s->bars[vertical ? SB_VERT : SB_HORZ],
                      !(s->style & WS_DISABLED));
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        CPoint screen = PointFromLParam(lParam);
        ::ClientToScreen(hwnd, &screen);
        Desktop::Instance().BeginTracking(ScrollTracker::Begin(hwnd, SB_CTL, screen));
        return 0;
    }
    case WM_ENABLE:
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    default:
        return ::DefWindowProc(hwnd, message, wParam, lParam);
    }
}

}
