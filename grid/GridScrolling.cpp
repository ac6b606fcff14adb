// The scroll bars: their ranges follow the cells, and line scrolling moves the pixels
// already painted and repaints only the strip it uncovers.
#include "zorkit/grid/GridCellEditor.h"
#include "zorkit/grid/GridCtrl.h"

BOOL CGridCtrl::SetScrollPos32(int nBar, int nPos, BOOL bRedraw)
{
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, nPos, 0};
    return SetScrollInfo(nBar, &si, bRedraw);
}

int CGridCtrl::GetScrollPos32(int nBar, BOOL bGetTrackPos)
{
    SCROLLINFO si{sizeof(SCROLLINFO), UINT(bGetTrackPos ? SIF_TRACKPOS : SIF_POS), 0, 0, 0, 0, 0};
    if (!GetScrollInfo(nBar, &si, si.fMask))
        return 0;
    return bGetTrackPos ? si.nTrackPos : si.nPos;
}

void CGridCtrl::ResetScrollBars()
{
    if (!CanDraw())
        return;
    // A bar that appears or goes changes the client area, and the size message that
    // follows comes back here: the outer call goes round until the area holds still.
    if (m_resettingScrollBars)
        return;
    m_resettingScrollBars = true;
    for (int round = 0; round < 3 && ::IsWindow(m_hWnd); ++round) {
        CRect client;
        GetClientRect(&client);
        CRect area = client;
        area.top += GetFixedRowHeight();
        area.left += GetFixedColumnWidth();
        // With no cells left the sums are 0 and both bars come back to 0..0 at 0.
        if (area.IsRectEmpty())
            break;

        const long height = GetVirtualHeight() - GetFixedRowHeight();
        const long width = GetVirtualWidth() - GetFixedColumnWidth();
        m_nVScrollMax = height > area.Height() ? int(height - 1) : 0;
        m_nHScrollMax = width > area.Width() ? int(width - 1) : 0;

        SCROLLINFO vertical{sizeof(SCROLLINFO), SIF_PAGE | SIF_RANGE, 0, m_nVScrollMax, UINT(area.Height()), 0, 0};
        SetScrollInfo(SB_VERT, &vertical, TRUE);
        if (!::IsWindow(m_hWnd))
            break;
        SCROLLINFO horizontal{sizeof(SCROLLINFO), SIF_PAGE | SIF_RANGE, 0, m_nHScrollMax, UINT(area.Width()), 0, 0};
        SetScrollInfo(SB_HORZ, &horizontal, TRUE);

        CRect after;
        GetClientRect(&after);
        if (after == client)
            break;
    }
    m_resettingScrollBars = false;
}

void CGridCtrl::OnSize(UINT, int, int)
{
    // Resizing ends an open edit, but a grid resized in the background leaves the
    // keyboard with whichever other window has it.
    CWnd* focus = GetFocus();
    for (CGridCellEditor* editor : CellEditors())
        if (focus == editor)
            SetFocus();
    Default();
    ResetScrollBars();
}

void CGridCtrl::OnHScroll(UINT nSBCode, UINT, CScrollBar*) { ScrollAlong(SB_HORZ, nSBCode); }

void CGridCtrl::OnVScroll(UINT nSBCode, UINT, CScrollBar*) { ScrollAlong(SB_VERT, nSBCode); }

// One handler for both bars: "near" is left or top, "far" is right or bottom.
void CGridCtrl::ScrollAlong(int bar, UINT code)
{
    if (GetFocus() != this)
        SetFocus();
    m_TitleTip.Hide();
    const bool vertical = bar == SB_VERT;
    const int scrollPos = GetScrollPos32(bar);
    const int scrollMax = vertical ? m_nVScrollMax : m_nHScrollMax;
    const CCellID topLeft = GetTopleftNonFixedCell();
    const int firstShown = vertical ? topLeft.row : topLeft.col;
    const int fixedCount = vertical ? m_nFixedRows : m_nFixedCols;
    const int fixedExtent = vertical ? GetFixedRowHeight() : GetFixedColumnWidth();
    auto extent = [&](int index) { return vertical ? GetRowHeight(index) : GetColumnWidth(index); };
    CRect rect;
    GetClientRect(&rect);
    LONG& nearEdge = vertical ? rect.top : rect.left;
    LONG& farEdge = vertical ? rect.bottom : rect.right;
    auto shift = [&](int by) { ScrollWindow(vertical ? 0 : by, vertical ? by : 0, &rect); };

    switch (code) {
    case SB_LINEDOWN: // also SB_LINERIGHT
        if (scrollPos < scrollMax) {
            const int step = extent(firstShown);
            SetScrollPos32(bar, scrollPos + step);
            if (GetScrollPos32(bar) == scrollPos)
                break;
            nearEdge = fixedExtent + step;
            shift(-step);
            nearEdge = farEdge - step;
            InvalidateRect(&rect);
        }
        break;
    case SB_LINEUP: // also SB_LINELEFT
        if (scrollPos > 0 && firstShown > fixedCount) {
            const int step = extent(firstShown - 1);
            SetScrollPos32(bar, std::max(0, scrollPos - step));
            nearEdge = fixedExtent;
            shift(step);
            farEdge = nearEdge + step;
            InvalidateRect(&rect);
        }
        break;
    case SB_PAGEDOWN:
        if (scrollPos < scrollMax) {
            nearEdge = fixedExtent;
            SetScrollPos32(bar, std::min(scrollMax, scrollPos + int(farEdge - nearEdge)));
            InvalidateRect(&rect);
        }
        break;
    case SB_PAGEUP:
        if (scrollPos > 0) {
            nearEdge = fixedExtent;
            SetScrollPos32(bar, std::max(0, scrollPos - int(farEdge - nearEdge)));
            InvalidateRect(&rect);
        }
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetScrollPos32(bar, GetScrollPos32(bar, TRUE));
        nearEdge = fixedExtent;
        InvalidateRect(&rect);
        break;
    case SB_TOP:
        if (scrollPos > 0) {
            SetScrollPos32(bar, 0);
            Invalidate();
        }
        break;
    case SB_BOTTOM:
        if (scrollPos < scrollMax) {
            SetScrollPos32(bar, scrollMax);
            Invalidate();
        }
        break;
    default:
        break;
    }
}
