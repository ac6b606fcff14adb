// Per-cell properties, row and column sizes, validity and the search for cells by state.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "zorkit/grid/GridCtrl.h"

BOOL CGridCtrl::SetItem(const GV_ITEM* pItem)
{
    if (!pItem)
        return FALSE;
    CGridCell* cell = GetCell(pItem->row, pItem->col);
    if (!cell)
        return FALSE;
    if (pItem->mask & ItemMaskText)
        cell->m_strText = pItem->szText;
    if (pItem->mask & ItemMaskData)
        cell->m_lParam = pItem->lParam;
    if (pItem->mask & ItemMaskImage)
        cell->m_nImage = pItem->iImage;
    if (pItem->mask & ItemMaskState)
        cell->m_nState = pItem->state;
    if (pItem->mask & ItemMaskFormat)
        cell->m_nFormat = pItem->nFormat;
    if (pItem->mask & ItemMaskBkColour)
        cell->m_crBkClr = pItem->crBkClr;
    if (pItem->mask & ItemMaskFgColour)
        cell->m_crFgClr = pItem->crFgClr;
    if (pItem->mask & ItemMaskFont)
        cell->m_lfFont = pItem->lfFont;
    return TRUE;
}

BOOL CGridCtrl::GetItem(GV_ITEM* pItem)
{
    if (!pItem)
        return FALSE;
    CGridCell* cell = GetCell(pItem->row, pItem->col);
    if (!cell)
        return FALSE;
    if (pItem->mask & ItemMaskText)
        pItem->szText = GetItemText(pItem->row, pItem->col);
    if (pItem->mask & ItemMaskData)
        pItem->lParam = cell->m_lParam;
    if (pItem->mask & ItemMaskImage)
        pItem->iImage = cell->m_nImage;
    if (pItem->mask & ItemMaskState)
        pItem->state = cell->m_nState;
    if (pItem->mask & ItemMaskFormat)
        pItem->nFormat = cell->m_nFormat;
    if (pItem->mask & ItemMaskBkColour)
        pItem->crBkClr = cell->m_crBkClr;
    if (pItem->mask & ItemMaskFgColour)
        pItem->crFgClr = cell->m_crFgClr;
    if (pItem->mask & ItemMaskFont)
        pItem->lfFont = cell->m_lfFont;
    return TRUE;
}

BOOL CGridCtrl::SetItemText(int nRow, int nCol, LPCTSTR str)
{
    CGridCell* cell = GetCell(nRow, nCol);
    if (!cell)
        return FALSE;
    // Byte comparison: a GBK string equals another exactly when its bytes do.
    if (cell->m_strText.Compare(str) != 0) {
        cell->m_strText = str;
        m_bModified = TRUE;
    } else {
        m_bModified = FALSE;
    }
    return TRUE;
}

CString CGridCtrl::GetItemText(int nRow, int nCol)
{
    CGridCell* cell = GetCell(nRow, nCol);
    return cell ? cell->m_strText : CString();
}

BOOL CGridCtrl::SetItemData(int nRow, int nCol, LPARAM lParam)
{
    return SetCellField(nRow, nCol, &CGridCell::m_lParam, lParam);
}

LPARAM CGridCtrl::GetItemData(int nRow, int nCol) const
{
    return CellField(nRow, nCol, &CGridCell::m_lParam, LPARAM(0));
}

BOOL CGridCtrl::SetItemImage(int nRow, int nCol, int iImage)
{
    return SetCellField(nRow, nCol, &CGridCell::m_nImage, iImage);
}

int CGridCtrl::GetItemImage(int nRow, int nCol) const
{
    return CellField(nRow, nCol, &CGridCell::m_nImage, int(-1));
}

BOOL CGridCtrl::SetItemState(int nRow, int nCol, UINT state)
{
    return SetCellField(nRow, nCol, &CGridCell::m_nState, state);
}

UINT CGridCtrl::GetItemState(int nRow, int nCol) const
{
    return CellField(nRow, nCol, &CGridCell::m_nState, UINT(0));
}

BOOL CGridCtrl::SetItemFormat(int nRow, int nCol, UINT nFormat)
{
    return SetCellField(nRow, nCol, &CGridCell::m_nFormat, nFormat);
}

UINT CGridCtrl::GetItemFormat(int nRow, int nCol) const
{
    return CellField(nRow, nCol, &CGridCell::m_nFormat, UINT(0));
}

BOOL CGridCtrl::SetItemBkColour(int nRow, int nCol, COLORREF cr)
{
    return SetCellField(nRow, nCol, &CGridCell::m_crBkClr, cr);
}

COLORREF CGridCtrl::GetItemBkColour(int nRow, int nCol) const
{
    return CellField(nRow, nCol, &CGridCell::m_crBkClr, COLORREF(0));
}

BOOL CGridCtrl::SetItemFgColour(int nRow, int nCol, COLORREF cr)
{
    return SetCellField(nRow, nCol, &CGridCell::m_crFgClr, cr);
}

COLORREF CGridCtrl::GetItemFgColour(int nRow, int nCol) const
{
    return CellField(nRow, nCol, &CGridCell::m_crFgClr, COLORREF(0));
}

BOOL CGridCtrl::SetItemFont(int nRow, int nCol, const LOGFONT* lf)
{
    CGridCell* cell = GetCell(nRow, nCol);
    if (!cell || !lf)
        return FALSE;
    std::memcpy(&cell->m_lfFont, lf, sizeof(LOGFONT));
    return TRUE;
}

LOGFONT* CGridCtrl::GetItemFont(int nRow, int nCol)
{
    CGridCell* cell = GetCell(nRow, nCol);
    return cell ? &cell->m_lfFont : nullptr;
}

// Sizes ------------------------------------------------------------------------------

void CGridCtrl::CheckSizesMatchCounts() const
{
#ifndef NDEBUG
    auto check = [](std::size_t entries, const char* array, int count, const char* counted, const char* through) {
        if (entries == std::size_t(count))
            return;
        std::fprintf(stderr,
                     "CGridCtrl: %zu %s for %d %s; change the %s only through %s, never the fields themselves\n",
                     entries, array, count, counted, counted, through);
        std::abort();
    };
    check(m_arRowHeights.size(), "row heights", m_nRows, "rows", "SetRowCount, InsertRow or DeleteRow");
    check(m_RowData.size(), "stored rows", m_nRows, "rows", "SetRowCount, InsertRow or DeleteRow");
    check(m_arColWidths.size(), "column widths", m_nCols, "columns", "SetColumnCount, InsertColumn or DeleteColumn");
#endif
}

int CGridCtrl::GetRowHeight(int nRow) const
{
    if (nRow < 0 || nRow >= m_nRows || std::size_t(nRow) >= m_arRowHeights.size())
        return -1;
    return int(m_arRowHeights[std::size_t(nRow)]);
}

BOOL CGridCtrl::SetRowHeight(int nRow, int height)
{
    if (nRow < 0 || nRow >= m_nRows || std::size_t(nRow) >= m_arRowHeights.size() || height < 0)
        return FALSE;
    m_arRowHeights[std::size_t(nRow)] = UINT(height);
    SizesChanged();
    return TRUE;
}

int CGridCtrl::GetColumnWidth(int nCol) const
{
    if (nCol < 0 || nCol >= m_nCols || std::size_t(nCol) >= m_arColWidths.size())
        return -1;
    return int(m_arColWidths[std::size_t(nCol)]);
}

BOOL CGridCtrl::SetColumnWidth(int nCol, int width)
{
    if (nCol < 0 || nCol >= m_nCols || std::size_t(nCol) >= m_arColWidths.size() || width < 0)
        return FALSE;
    m_arColWidths[std::size_t(nCol)] = UINT(width);
    SizesChanged();
    return TRUE;
}

int CGridCtrl::GetFixedRowHeight() const
{
    int height = 0;
    for (int row = 0; row < m_nFixedRows; ++row)
        height += GetRowHeight(row);
    return height;
}

int CGridCtrl::GetFixedColumnWidth() const
{
    int width = 0;
    for (int col = 0; col < m_nFixedCols; ++col)
        width += GetColumnWidth(col);
    return width;
}

long CGridCtrl::GetVirtualHeight() const
{
    long height = 0;
    for (UINT h : m_arRowHeights)
        height += long(h);
    return height;
}

long CGridCtrl::GetVirtualWidth() const
{
    long width = 0;
    for (UINT w : m_arColWidths)
        width += long(w);
    return width;
}

// Validity and search ------------------------------------------------------------------

BOOL CGridCtrl::IsValid(int nRow, int nCol) const
{
    return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols;
}

BOOL CGridCtrl::IsValid(const CCellRange& range) const
{
    return range.GetMinRow() >= 0 && range.GetMinCol() >= 0 && range.GetMaxRow() >= 0 && range.GetMaxCol() >= 0 &&
           range.GetMaxRow() < m_nRows && range.GetMaxCol() < m_nCols;
}

BOOL CGridCtrl::IsCellEditable(int nRow, int nCol) const
{
    return m_bEditable && !(GetItemState(nRow, nCol) & CellReadOnly);
}

CCellID CGridCtrl::GetNextItem(const CCellID& cell, int nFlags) const
{
    const UINT wanted = UINT(nFlags) & (CellMarked | CellFocused | CellSelected | CellReadOnly);
    auto matches = [&](int row, int col) { return (GetItemState(row, col) & wanted) != 0; };
    // A start beyond an edge scans as one just past it: nothing overflows, and no walk
    // passes over positions that hold no cell.
    const CCellID start(std::clamp(cell.row, -1, m_nRows), std::clamp(cell.col, -1, m_nCols));

    if ((nFlags & SearchAll) == SearchAll) {
        for (int row = start.row > 0 ? start.row : m_nFixedRows; row < m_nRows; ++row) {
            int first = start.col + 1 > 0 ? start.col + 1 : m_nFixedCols;
            for (int col = first; col < m_nCols; ++col)
                if (matches(row, col))
                    return CCellID(row, col);
        }
    }
    if (nFlags & SearchAbove) {
        for (int row = start.row - 1; row >= m_nFixedRows; --row)
            if (matches(row, start.col))
                return CCellID(row, start.col);
    } else if (nFlags & SearchBelow) {
        for (int row = start.row + 1; row < m_nRows; ++row)
            if (matches(row, start.col))
                return CCellID(row, start.col);
    } else if (nFlags & SearchToLeft) {
        for (int col = start.col - 1; col >= m_nFixedCols; --col)
            if (matches(start.row, col))
                return CCellID(start.row, col);
    } else if (nFlags & SearchToRight) {
        for (int col = start.col + 1; col < m_nCols; ++col)
            if (matches(start.row, col))
                return CCellID(start.row, col);
    }
    return CCellID(-1, -1);
}

void CGridCtrl::SetGridLines(int nWhichLines)
{
    m_nGridLines = nWhichLines;
    RepaintAll();
}

int CGridCtrl::SetMouseMode(int nMode)
{
    int previous = m_MouseMode;
    m_MouseMode = nMode;
    return previous;
}

// Hooks for derived grids; the grid itself never calls them.
void CGridCtrl::OnFixedColumnClick(CCellID&) {}

void CGridCtrl::OnFixedRowClick(CCellID&) {}
