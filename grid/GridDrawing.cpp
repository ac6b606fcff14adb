// Painting: the background, the four passes over the cells inside the clip box (corner,
// fixed columns, fixed rows, the rest), the grid lines, and redrawing single cells.
#include "zorkit/grid/BufferedDC.h"
#include "zorkit/grid/GridCtrl.h"
#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/PaintDC.h"

namespace {

// The weight that marks the headings of the focus row and column.
constexpr LONG kFocusHeadingWeight = FW_NORMAL;

bool DrawsHorizontalLines(int mode) { return mode == GridLinesBoth || mode == GridLinesHorizontal; }
bool DrawsVerticalLines(int mode) { return mode == GridLinesBoth || mode == GridLinesVertical; }

}

void CGridCtrl::OnPaint()
{
    CPaintDC dc(this);
    if (m_bDoubleBuffer) {
        CBufferedDC buffered(&dc);
        OnDraw(&buffered);
    } else {
        OnDraw(&dc);
    }
}

BOOL CGridCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CGridCtrl::EraseBkgnd(CDC* pDC)
{
    CRect clip;
    if (pDC->GetClipBox(&clip) == ERROR)
        return;
    CBrush fixedBack(m_crFixedBkColour), textBack(m_crTextBkColour), back(m_crBkColour);
    CRect visible;
    GetVisibleNonFixedCellRange(&visible);
    const int fixedWidth = GetFixedColumnWidth();
    const int fixedHeight = GetFixedRowHeight();

    if (clip.left < fixedWidth && clip.top < visible.bottom)
        pDC->FillRect(CRect(clip.left, clip.top, fixedWidth, visible.bottom), &fixedBack);
    if (clip.top < fixedHeight && clip.right > fixedWidth && clip.left < visible.right)
        pDC->FillRect(CRect(fixedWidth - 1, clip.top, visible.right, fixedHeight), &fixedBack);
    CRect cells;
    if (cells.IntersectRect(&visible, &clip))
        pDC->FillRect(CRect(std::max<LONG>(fixedWidth, cells.left), std::max<LONG>(fixedHeight, cells.top), cells.right,
                            cells.bottom),
                      &textBack);
    if (visible.right < clip.right)
        pDC->FillRect(CRect(visible.right, clip.top, clip.right, clip.bottom), &back);
    if (visible.bottom < clip.bottom && clip.left < visible.right)
        pDC->FillRect(CRect(clip.left, visible.bottom, visible.right, clip.bottom), &back);
}

void CGridCtrl::OnDraw(CDC* pDC)
{
    CRect clip;
    if (pDC->GetClipBox(&clip) == ERROR)
        return;
    EraseBkgnd(pDC);

    const int fixedHeight = GetFixedRowHeight();
    const int fixedWidth = GetFixedColumnWidth();
    const CCellID topLeft = GetTopleftNonFixedCell();
    CRect visibleRect;
    const CCellRange visible = GetVisibleNonFixedCellRange(&visibleRect);
    const int maxRow = visible.GetMaxRow();
    const int maxCol = visible.GetMaxCol();

    // Walks rows [firstRow, lastRow] from y and columns [firstCol, lastCol] from x,
    // drawing each cell whose rectangle meets the clip box (all of them when unclipped).
    auto pass = [&](int firstRow, int lastRow, int y, int firstCol, int lastCol, int x, bool clipped, bool fixed) {
        CRect rect;
        rect.bottom = y - 1;
        for (int row = firstRow; row <= lastRow; ++row) {
            rect.top = rect.bottom + 1;
            rect.bottom = rect.top + GetRowHeight(row) - 1;
            if (clipped && rect.top > clip.bottom)
                break;
            if (clipped && rect.bottom < clip.top)
                continue;
            rect.right = x - 1;
            for (int col = firstCol; col <= lastCol; ++col) {
                rect.left = rect.right + 1;
                rect.right = rect.left + GetColumnWidth(col) - 1;
                if (clipped && rect.left > clip.right)
                    break;
                if (clipped && rect.right < clip.left)
                    continue;
                if (fixed)
                    DrawFixedCell(pDC, row, col, rect);
                else
                    DrawCell(pDC, row, col, rect);
            }
        }
    };
    pass(0, m_nFixedRows - 1, 0, 0, m_nFixedCols - 1, 0, false, true);
    pass(topLeft.row, maxRow, fixedHeight, 0, m_nFixedCols - 1, 0, true, true);
    pass(0, m_nFixedRows - 1, 0, topLeft.col, maxCol, fixedWidth, true, true);
    pass(topLeft.row, maxRow, fixedHeight, topLeft.col, maxCol, fixedWidth, true, false);

    CPen pen;
    if (!pen.CreatePen(PS_SOLID, 0, m_crGridColour))
        return;
    pDC->SelectObject(&pen);
    if (DrawsVerticalLines(m_nGridLines)) {
        int x = fixedWidth;
        for (int col = topLeft.col; col <= maxCol; ++col) {
            x += GetColumnWidth(col);
            pDC->MoveTo(x - 1, fixedHeight);
            pDC->LineTo(x - 1, visibleRect.bottom);
        }
    }
    if (DrawsHorizontalLines(m_nGridLines)) {
        int y = fixedHeight;
        for (int row = topLeft.row; row <= maxRow; ++row) {
            y += GetRowHeight(row);
            pDC->MoveTo(fixedWidth, y - 1);
            pDC->LineTo(visibleRect.right, y - 1);
        }
    }
    pDC->SelectStockObject(NULL_PEN);
}

// Shared by both cell painters: the image at the rect's top-left, then the text.
void CGridCtrl::DrawImageAndText(CDC* pDC, CRect& rect, const GV_ITEM& item)
{
    IMAGEINFO info{};
    if (m_pImageList && item.iImage >= 0 && m_pImageList->GetImageInfo(item.iImage, &info)) {
        const int imageWidth = info.rcImage.right - info.rcImage.left + 1;
        m_pImageList->Draw(pDC, item.iImage, rect.TopLeft(), ILD_NORMAL);
        rect.left += imageWidth + m_nMargin;
    }
    pDC->DrawText(item.szText, &rect, item.nFormat);
}

BOOL CGridCtrl::DrawFixedCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk)
{
    if (!m_bAllowDraw)
        return FALSE;
    GV_ITEM item{};
    item.row = nRow;
    item.col = nCol;
    item.mask = ItemMaskText | ItemMaskFormat | ItemMaskImage | ItemMaskBkColour | ItemMaskFgColour;
    if (!GetItem(&item))
        return FALSE;

    if (item.crBkClr != DefaultColour)
        bEraseBk = TRUE;
    if (bEraseBk && !pDC->IsPrinting()) {
        CBrush brush(item.crBkClr == DefaultColour ? m_crFixedBkColour : item.crBkClr);
        pDC->FillRect(&rect, &brush);
    }
    pDC->SetTextColor(item.crFgClr == DefaultColour ? m_crFixedTextColour : item.crFgClr);
    const int savedDC = pDC->SaveDC();

    const LOGFONT* cellFont = GetItemFont(nRow, nCol);
    LOGFONT lf = cellFont ? *cellFont : m_Logfont;
    const CCellID focus = GetFocusCell();
    const bool focusHeading = IsValid(focus) && (focus.row == nRow || focus.col == nCol);
    if (focusHeading)
        lf.lfWeight = kFocusHeadingWeight;
    CFont font;
    font.CreateFontIndirect(&lf);
    pDC->SelectObject(&font);

    if (focusHeading) {
        rect.right++;
        rect.bottom++;
        pDC->DrawEdge(&rect, BDR_RAISEDINNER | BDR_RAISEDOUTER, BF_RECT);
    } else {
        CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_3DHIGHLIGHT));
        CPen dark(PS_SOLID, 1, ::GetSysColor(COLOR_3DDKSHADOW));
        CPen* oldPen = pDC->SelectObject(&light);
        pDC->MoveTo(rect.right, rect.top);
        pDC->LineTo(rect.left, rect.top);
        pDC->LineTo(rect.left, rect.bottom);
        pDC->SelectObject(&dark);
        pDC->MoveTo(rect.right, rect.top);
        pDC->LineTo(rect.right, rect.bottom);
        pDC->LineTo(rect.left, rect.bottom);
        pDC->SelectObject(oldPen);
    }
    rect.DeflateRect(1, 1);

    pDC->SetBkMode(TRANSPARENT);
    rect.DeflateRect(2, 0);
    DrawImageAndText(pDC, rect, item);
    pDC->RestoreDC(savedDC);
    return TRUE;
}

BOOL CGridCtrl::DrawCell(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBk)
{
    if (!m_bAllowDraw)
        return FALSE;
    GV_ITEM item{};
    item.row = nRow;
    item.col = nCol;
    item.mask = ItemMaskText | ItemMaskFormat | ItemMaskImage | ItemMaskState | ItemMaskBkColour | ItemMaskFgColour;
    if (!GetItem(&item))
        return FALSE;

    const COLORREF background = item.crBkClr == DefaultColour ? m_crTextBkColour : item.crBkClr;
    const COLORREF foreground = item.crFgClr == DefaultColour ? m_crTextColour : item.crFgClr;
    if (background != DefaultColour)
        bEraseBk = TRUE;
    const int savedDC = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);

    const bool printing = pDC->IsPrinting();
    CRect widened(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    auto frame = [&] {
        pDC->SelectStockObject(BLACK_PEN);
        pDC->SelectStockObject(NULL_BRUSH);
        pDC->Rectangle(&rect);
        rect.DeflateRect(1, 1);
    };
    if ((item.state & CellFocused) && !printing) {
        if (bEraseBk) {
            CBrush brush(background);
            pDC->FillRect(&widened, &brush);
        }
        frame();
        pDC->SetTextColor(foreground);
    } else if ((item.state & CellSelected) && !printing) {
        pDC->FillSolidRect(&widened, ::GetSysColor(COLOR_HIGHLIGHT));
        pDC->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        if (bEraseBk) {
            CBrush brush(background);
            pDC->FillRect(&widened, &brush);
        }
        pDC->SetTextColor(foreground);
    }
    if ((item.state & CellMarked) && !printing)
        frame();

    const LOGFONT* cellFont = GetItemFont(nRow, nCol);
    CFont font;
    font.CreateFontIndirect(cellFont ? cellFont : &m_Logfont);
    pDC->SelectObject(&font);
    rect.DeflateRect(2, 0);
    DrawImageAndText(pDC, rect, item);
    pDC->RestoreDC(savedDC);
    return TRUE;
}

BOOL CGridCtrl::RedrawCell(int nRow, int nCol, CDC* pDC)
{
    if (!m_bAllowDraw || !IsCellVisible(nRow, nCol))
        return FALSE;
    CRect rect;
    if (!GetCellRect(nRow, nCol, &rect))
        return FALSE;
    CDC* ownDC = pDC ? nullptr : GetDC();
    if (ownDC)
        pDC = ownDC;
    if (!pDC) {
        InvalidateRect(&rect, TRUE);
        return TRUE;
    }
    BOOL result;
    if (nRow < m_nFixedRows || nCol < m_nFixedCols)
        result = DrawFixedCell(pDC, nRow, nCol, rect, TRUE);
    else
        result = DrawCell(pDC, nRow, nCol, rect, TRUE);

    CPen pen;
    if (pen.CreatePen(PS_SOLID, 0, m_crGridColour)) {
        CPen* oldPen = pDC->SelectObject(&pen);
        if (DrawsHorizontalLines(m_nGridLines)) {
            pDC->MoveTo(rect.left, rect.bottom);
            pDC->LineTo(rect.right + 1, rect.bottom);
        }
        if (DrawsVerticalLines(m_nGridLines)) {
            pDC->MoveTo(rect.right, rect.top);
            pDC->LineTo(rect.right, rect.bottom + 1);
        }
        pDC->SelectObject(oldPen);
    }
    if (ownDC)
        ReleaseDC(ownDC);
    return result;
}

BOOL CGridCtrl::RedrawRow(int row)
{
    CDC* pDC = GetDC();
    if (!pDC)
        return TRUE;
    BOOL result = TRUE;
    for (int col = 0; col < m_nCols; ++col)
        result = RedrawCell(row, col, pDC) && result;
    ReleaseDC(pDC);
    return result;
}

BOOL CGridCtrl::RedrawColumn(int col)
{
    CDC* pDC = GetDC();
    if (!pDC)
        return TRUE;
    BOOL result = TRUE;
    for (int row = 0; row < m_nRows; ++row)
        result = RedrawCell(row, col, pDC) && result;
    ReleaseDC(pDC);
    return result;
}

BOOL CGridCtrl::InvalidateCellRect(const CCellID& cell)
{
    if (!CanDraw() || !IsCellVisible(cell))
        return FALSE;
    CRect rect;
    if (!GetCellRect(cell, &rect))
        return FALSE;
    rect.right++;
    rect.bottom++;
    InvalidateRect(&rect, TRUE);
    return TRUE;
}

BOOL CGridCtrl::InvalidateCellRect(const CCellRange& cellRange)
{
    if (!CanDraw() || !IsValid(cellRange))
        return FALSE;
    const CCellRange visible = cellRange.Intersect(GetVisibleNonFixedCellRange());
    CRect rect;
    if (!GetCellRangeRect(visible, &rect))
        return FALSE;
    rect.right++;
    rect.bottom++;
    InvalidateRect(&rect, TRUE);
    return TRUE;
}

void CGridCtrl::SetRedraw(BOOL bAllowDraw, BOOL bResetScrollBars)
{
    if (bAllowDraw && !m_bAllowDraw) {
        m_bAllowDraw = TRUE;
        RepaintAll();
    }
    m_bAllowDraw = bAllowDraw;
    if (bResetScrollBars)
        ResetScrollBars();
}
