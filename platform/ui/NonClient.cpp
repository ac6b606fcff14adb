#include "zorkit/platform/ui/internal/NonClient.h"

#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/internal/ScrollBarLayout.h"
#include "zorkit/platform/ui/WindowDCs.h"
#include "zorkit/platform/ui/internal/WindowState.h"

namespace {

// A small solid triangle pointing along the arrow's direction.
void DrawArrow(CDC& dc, const CRect& box, int direction, COLORREF colour)
{
    CRect face = box;
    dc.FillSolidRect(&face, GetSysColor(COLOR_BTNFACE));
    dc.DrawEdge(&face, EDGE_RAISED, BF_RECT);
    CPoint c = box.CenterPoint();
    const int size = 3;
    for (int i = 0; i <= size; ++i) {
        switch (direction) {
        case 0:  // up
            dc.FillSolidRect(c.x - i, c.y - size / 2 + i, 2 * i + 1, 1, colour);
            break;
        case 1:  // down
            dc.FillSolidRect(c.x - i, c.y + size / 2 - i, 2 * i + 1, 1, colour);
            break;
        case 2:  // left
            dc.FillSolidRect(c.x - size / 2 + i, c.y - i, 1, 2 * i + 1, colour);
            break;
        default:  // right
            dc.FillSolidRect(c.x + size / 2 - i, c.y - i, 1, 2 * i + 1, colour);
            break;
        }
    }
}

}

namespace zorkit {

void DrawScrollBar(CDC& dc, const CRect& bar, bool vertical, const ScrollBarState& state, bool enabled)
{
    if (bar.IsRectEmpty())
        return;
    ScrollBarLayout layout(bar, vertical, state);
    bool scrollable = enabled && state.Needed();
    COLORREF upColour = scrollable && !(state.Disabled() & ESB_DISABLE_LTUP) ? GetSysColor(COLOR_BTNTEXT)
                                                                              : GetSysColor(COLOR_GRAYTEXT);
    COLORREF downColour = scrollable && !(state.Disabled() & ESB_DISABLE_RTDN) ? GetSysColor(COLOR_BTNTEXT)
                                                                                : GetSysColor(COLOR_GRAYTEXT);
    DrawArrow(dc, layout.ArrowUp(), vertical ? 0 : 2, upColour);
    DrawArrow(dc, layout.ArrowDown(), vertical ? 1 : 3, downColour);
    CRect track = layout.Track();
    dc.FillSolidRect(&track, GetSysColor(COLOR_SCROLLBAR));
    if (scrollable) {
        CRect thumb = layout.Thumb();
        dc.FillSolidRect(&thumb, GetSysColor(COLOR_BTNFACE));
        dc.DrawEdge(&thumb, EDGE_RAISED, BF_RECT);
    }
}

void DrawFrame(HWND hwnd)
{
    WindowState* s = StateOf(hwnd);
    if (!s)
        return;
    s->frameDirty = false;
    CDC dc;
    if (!AttachWindowSurface(dc, hwnd, false, nullptr))
        return;
    CRect outer(0, 0, s->rect.Width(), s->rect.Height());
    if (s->IsChild()) {
        if (s->style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) {
            CBrush frame(GetSysColor(COLOR_WINDOWFRAME));
            int width = (s->style & WS_THICKFRAME)  ? GetSystemMetrics(SM_CXFRAME)
                        : (s->style & WS_DLGFRAME) ? GetSystemMetrics(SM_CXDLGFRAME)
                                                   : GetSystemMetrics(SM_CXBORDER);
            dc.FrameRect(&outer, &frame);
            outer.DeflateRect(1, 1);
            for (int i = 1; i < width; ++i) {
                dc.Draw3dRect(&outer, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
                outer.DeflateRect(1, 1);
            }
        }
        if (s->exStyle & WS_EX_CLIENTEDGE)
            dc.DrawEdge(&outer, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        if (s->exStyle & WS_EX_STATICEDGE)
            dc.DrawEdge(&outer, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    bool enabled = !(s->style & WS_DISABLED);
    DrawScrollBar(dc, s->BarRect(SB_VERT), true, s->bars[SB_VERT], enabled);
    DrawScrollBar(dc, s->BarRect(SB_HORZ), false, s->bars[SB_HORZ], enabled);
    if ((s->style & WS_VSCROLL) && (s->style & WS_HSCROLL)) {
        CRect v = s->BarRect(SB_VERT), h = s->BarRect(SB_HORZ);
        CRect corner(v.left, h.top, v.right, h.bottom);
        dc.FillSolidRect(&corner, GetSysColor(COLOR_BTNFACE));
    }
}

}
