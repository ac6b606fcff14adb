// Where cells lie in the client area. The scroll positions are pixel offsets; the
// first non-fixed column (row) shown is the first whose edge lies at or past them.
#include "zorkit/grid/GridCtrl.h"

// The first index from the fixed count whose start, summed from 0, reaches pos (no
// further than the last index): walked from where the last call ended while the
// sizes stay as they were.
int CGridCtrl::FirstShown(const std::vector<UINT>& sizes, int fixedCount, int count, int pos,
                          ScrollAnchor& anchor) const
{
    if (anchor.generation != m_sizesGeneration)
        anchor = ScrollAnchor{m_sizesGeneration, fixedCount, 0};
    int index = anchor.index;
    long offset = anchor.offset;
    while (offset < pos && index < count - 1)
        offset += long(sizes[std::size_t(index++)]);
    while (index > fixedCount && offset - long(sizes[std::size_t(index - 1)]) >= pos)
        offset -= long(sizes[std::size_t(--index)]);
    anchor.index = index;
    anchor.offset = offset;
    return index;
}

CCellID CGridCtrl::GetTopleftNonFixedCell()
{
    const int row = FirstShown(m_arRowHeights, m_nFixedRows, m_nRows, GetScrollPos(SB_VERT), m_rowAnchor);
    const int col = FirstShown(m_arColWidths, m_nFixedCols, m_nCols, GetScrollPos(SB_HORZ), m_colAnchor);
    return CCellID(row, col);
}

CCellRange CGridCtrl::GetVisibleNonFixedCellRange(LPRECT pRect)
{
    CRect client;
    GetClientRect(&client);
    const CCellID topLeft = GetTopleftNonFixedCell();

    int bottom = GetFixedRowHeight();
    int row = topLeft.row;
    for (; row < m_nRows; ++row) {
        bottom += GetRowHeight(row);
        if (bottom >= client.bottom) {
            bottom = client.bottom;
            break;
        }
    }
    int right = GetFixedColumnWidth();
    int col = topLeft.col;
    for (; col < m_nCols; ++col) {
        right += GetColumnWidth(col);
        if (right >= client.right) {
            right = client.right;
            break;
        }
    }
    if (pRect)
        *pRect = CRect(0, 0, right, bottom);
    return CCellRange(topLeft.row, topLeft.col, std::min(row, m_nRows - 1), std::min(col, m_nCols - 1));
}

namespace {

// The last row (column) from `first` that ends inside `limit`, the heading's extent
// `start` counted in; row (column) 0 when even the first does not fit.
template <typename SizeOf>
int LastWhole(int first, int count, int start, int limit, SizeOf sizeOf)
{
    int end = start;
    int index = first;
    for (; index < count; ++index) {
        end += sizeOf(index);
        if (end >= limit)
            break;
    }
    int last = std::min(index, count - 1);
    if (last > 0 && end > limit)
        --last;
    return last;
}

}

CCellRange CGridCtrl::GetUnobstructedNonFixedCellRange()
{
    CRect client;
    GetClientRect(&client);
    const CCellID topLeft = GetTopleftNonFixedCell();

    const int maxRow = LastWhole(topLeft.row, m_nRows, GetFixedRowHeight(), client.bottom,
                                 [this](int row) { return GetRowHeight(row); });
    const int maxCol = LastWhole(topLeft.col, m_nCols, GetFixedColumnWidth(), client.right,
                                 [this](int col) { return GetColumnWidth(col); });
    return CCellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

BOOL CGridCtrl::GetCellOrigin(int nRow, int nCol, LPPOINT p)
{
    if (!IsValid(nRow, nCol) || !p)
        return FALSE;
    CCellID topLeft;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows)
        topLeft = GetTopleftNonFixedCell();
    if ((nCol >= m_nFixedCols && nCol < topLeft.col) || (nRow >= m_nFixedRows && nRow < topLeft.row))
        return FALSE;

    p->x = 0;
    if (nCol < m_nFixedCols) {
        for (int col = 0; col < nCol; ++col)
            p->x += GetColumnWidth(col);
    } else {
        p->x = GetFixedColumnWidth();
        for (int col = topLeft.col; col < nCol; ++col)
            p->x += GetColumnWidth(col);
    }
    p->y = 0;
    if (nRow < m_nFixedRows) {
        for (int row = 0; row < nRow; ++row)
            p->y += GetRowHeight(row);
    } else {
        p->y = GetFixedRowHeight();
        for (int row = topLeft.row; row < nRow; ++row)
            p->y += GetRowHeight(row);
    }
    return TRUE;
}

BOOL CGridCtrl::GetCellRect(int nRow, int nCol, LPRECT pRect)
{
    CPoint origin;
    if (!pRect || !GetCellOrigin(nRow, nCol, &origin))
        return FALSE;
    pRect->left = origin.x;
    pRect->top = origin.y;
    pRect->right = origin.x + GetColumnWidth(nCol) - 1;
    pRect->bottom = origin.y + GetRowHeight(nRow) - 1;
    return TRUE;
}

BOOL CGridCtrl::GetCellRangeRect(const CCellRange& cellRange, LPRECT lpRect)
{
    CPoint minOrigin, maxOrigin;
    if (!lpRect || !GetCellOrigin(cellRange.GetMinRow(), cellRange.GetMinCol(), &minOrigin) ||
        !GetCellOrigin(cellRange.GetMaxRow(), cellRange.GetMaxCol(), &maxOrigin))
        return FALSE;
    lpRect->left = minOrigin.x;
    lpRect->top = minOrigin.y;
    lpRect->right = maxOrigin.x + GetColumnWidth(cellRange.GetMaxCol()) - 1;
    lpRect->bottom = maxOrigin.y + GetRowHeight(cellRange.GetMaxRow()) - 1;
    return TRUE;
}

CCellID CGridCtrl::GetCellFromPt(CPoint point, BOOL bAllowFixedCellCheck)
{
    const CCellID topLeft = GetTopleftNonFixedCell();
    // The first index from `first` whose far edge, accumulated from `start`, passes `at`.
    auto walk = [](int at, int start, int first, int count, auto size) {
        int edge = start;
        int index = first;
        for (; index < count; ++index) {
            edge += size(index);
            if (edge > at)
                break;
        }
        return index < count ? index : -1;
    };
    auto width = [this](int col) { return GetColumnWidth(col); };
    auto height = [this](int row) { return GetRowHeight(row); };

    const int fixedWidth = GetFixedColumnWidth();
    int col;
    if (point.x < 0 || (!bAllowFixedCellCheck && point.x < fixedWidth))
        col = -1;
    else if (point.x < fixedWidth)
        col = walk(point.x, 0, 0, m_nFixedCols, width);
    else
        col = walk(point.x, fixedWidth, topLeft.col, m_nCols, width);

    const int fixedHeight = GetFixedRowHeight();
    int row;
    if (point.y < 0 || (!bAllowFixedCellCheck && point.y < fixedHeight))
        row = -1;
    else if (point.y < fixedHeight)
        row = walk(point.y, 0, 0, m_nFixedRows, height);
    else
        row = walk(point.y, fixedHeight, topLeft.row, m_nRows, height);
    return CCellID(row, col);
}

BOOL CGridCtrl::IsCellVisible(int nRow, int nCol)
{
    if (!::IsWindow(m_hWnd) || !IsValid(nRow, nCol))
        return FALSE;
    CCellID topLeft;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows) {
        topLeft = GetTopleftNonFixedCell();
        if ((nCol >= m_nFixedCols && nCol < topLeft.col) || (nRow >= m_nFixedRows && nRow < topLeft.row))
            return FALSE;
    }
    CRect client;
    GetClientRect(&client);
    client.right -= 10;
    client.bottom -= 10;

    int x = nCol < m_nFixedCols ? 0 : GetFixedColumnWidth();
    for (int col = nCol < m_nFixedCols ? 0 : topLeft.col; col <= nCol; ++col) {
        if (x >= client.right)
            return FALSE;
        x += GetColumnWidth(col);
    }
    int y = nRow < m_nFixedRows ? 0 : GetFixedRowHeight();
    for (int row = nRow < m_nFixedRows ? 0 : topLeft.row; row <= nRow; ++row) {
        if (y >= client.bottom)
            return FALSE;
        y += GetRowHeight(row);
    }
    return TRUE;
}
