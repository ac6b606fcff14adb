// Sizing rows and columns to their contents and to the window.
#include <cstring>

#include "zorkit/grid/GridCtrl.h"
#include "zorkit/platform/gdi/DC.h"

CSize CGridCtrl::GetTextExtent(LPCTSTR str, BOOL bUseNormalWeight)
{
    CDC* pDC = GetDC();
    if (!pDC)
        return CSize(0, 0);
    std::unique_ptr<CFont> normal;
    CFont* font = m_Font.get();
    if (bUseNormalWeight) {
        normal = MakeFont(m_Logfont, FW_NORMAL);
        font = normal.get();
    }
    CFont* oldFont = font ? pDC->SelectObject(font) : nullptr;
    CSize size = pDC->GetTextExtent(str ? str : "", str ? int(std::strlen(str)) : 0);
    if (oldFont)
        pDC->SelectObject(oldFont);
    ReleaseDC(pDC);
    return size + CSize(m_nMargin, 2);
}

CSize CGridCtrl::GetCellExtent(int nRow, int nCol, CDC* pDC)
{
    // Only a cell has a font to measure with.
    const LOGFONT* cellFont = GetItemFont(nRow, nCol);
    if (!cellFont || !pDC)
        return CSize(0, 0);
    const bool fixed = nRow < m_nFixedRows || nCol < m_nFixedCols;
    std::unique_ptr<CFont> font = MakeFont(*cellFont, fixed ? FW_NORMAL : 0);
    CFont* oldFont = font ? pDC->SelectObject(font.get()) : nullptr;
    CSize size = pDC->GetTextExtent(GetItemText(nRow, nCol)) + CSize(m_nMargin, 2);
    if (oldFont)
        pDC->SelectObject(oldFont);

    CSize image(0, 0);
    IMAGEINFO info{};
    const int index = GetItemImage(nRow, nCol);
    if (m_pImageList && index >= 0 && m_pImageList->GetImageInfo(index, &info))
        image = CSize(info.rcImage.right - info.rcImage.left + 1, info.rcImage.bottom - info.rcImage.top + 1);
    return CSize(size.cx + image.cx, std::max(size.cy, image.cy));
}

BOOL CGridCtrl::AutoSizeColumn(int nCol)
{
    if (nCol < 0 || nCol >= m_nCols)
        return FALSE;
    CDC* pDC = GetDC();
    if (!pDC)
        return FALSE;
    LONG width = 0;
    for (int row = 0; row < m_nRows; ++row)
        width = std::max(width, GetCellExtent(row, nCol, pDC).cx);
    m_arColWidths[std::size_t(nCol)] = UINT(width);
    SizesChanged();
    ReleaseDC(pDC);
    ResetScrollBars();
    return TRUE;
}

BOOL CGridCtrl::AutoSizeRow(int nRow)
{
    if (nRow < 0 || nRow >= m_nRows)
        return FALSE;
    CDC* pDC = GetDC();
    if (!pDC)
        return FALSE;
    LONG height = 0;
    for (int col = 0; col < m_nCols; ++col)
        height = std::max(height, GetCellExtent(nRow, col, pDC).cy);
    m_arRowHeights[std::size_t(nRow)] = UINT(height);
    SizesChanged();
    ReleaseDC(pDC);
    ResetScrollBars();
    return TRUE;
}

void CGridCtrl::AutoSizeColumns()
{
    for (int col = 0; col < m_nCols; ++col)
        AutoSizeColumn(col);
}

void CGridCtrl::AutoSizeRows()
{
    for (int row = 0; row < m_nRows; ++row)
        AutoSizeRow(row);
}

void CGridCtrl::AutoSize()
{
    CDC* pDC = GetDC();
    if (!pDC)
        return;
    std::fill(m_arColWidths.begin(), m_arColWidths.end(), 0u);
    std::fill(m_arRowHeights.begin(), m_arRowHeights.end(), 0u);
    for (int row = 0; row < m_nRows; ++row) {
        for (int col = 0; col < m_nCols; ++col) {
            const CSize size = GetCellExtent(row, col, pDC);
            m_arColWidths[std::size_t(col)] = std::max(m_arColWidths[std::size_t(col)], UINT(size.cx));
            m_arRowHeights[std::size_t(row)] = std::max(m_arRowHeights[std::size_t(row)], UINT(size.cy));
        }
    }
    SizesChanged();
    ReleaseDC(pDC);
    if (m_bAllowDraw)
        RepaintAll();
}

bool CGridCtrl::ExpandAxisToFit(bool rows, int spare, int minimumSpare)
{
    const int count = rows ? m_nRows : m_nCols;
    const int first = rows ? m_nFixedRows : m_nFixedCols;
    const int nonFixed = count - first;
    if (spare <= minimumSpare || nonFixed <= 0)
        return false;
    const int share = spare / nonFixed;
    if ((rows ? GetRowHeight(first) : GetColumnWidth(first)) >= share)
        return false;
    for (int index = first; index < count; ++index) {
        if (rows)
            SetRowHeight(index, share);
        else
            SetColumnWidth(index, share);
    }
    return true;
}

void CGridCtrl::ExpandColumnsToFit()
{
    if (m_nCols <= 0)
        return;
    CRect rect;
    GetWindowRect(&rect);
    AutoSizeColumns();
    if (ExpandAxisToFit(false, rect.Width() - GetFixedColumnWidth(), 0))
        RepaintAll();
}

void CGridCtrl::ExpandRowsToFit()
{
    if (m_nRows <= 0)
        return;
    CRect rect;
    GetWindowRect(&rect);
    AutoSizeRows();
    if (ExpandAxisToFit(true, rect.Height() - GetFixedRowHeight(), 0))
        RepaintAll();
}

void CGridCtrl::ExpandToFit()
{
    ShowScrollBar(SB_BOTH, FALSE);
    if (m_nCols <= 0 || m_nRows <= 0)
        return;
    CRect rect;
    GetWindowRect(&rect);
    AutoSizeColumns();
    bool changed = ExpandAxisToFit(false, rect.Width() - GetFixedColumnWidth(), m_nCols);
    AutoSizeRows();
    changed = ExpandAxisToFit(true, rect.Height() - GetFixedRowHeight(), m_nRows) || changed;
    ResetScrollBars();
    if (changed)
        RepaintAll();
}
