// The grid's storage: counts, fixed counts, inserting and deleting rows and columns,
// and the cells themselves. Growth that runs out of memory leaves the grid as it was
// and answers FALSE (or -1).
#include <new>

#include "zorkit/grid/GridCtrl.h"

CGridCell* CGridCtrl::CreateCell(int nRow, int nCol)
{
    auto* cell = new (std::nothrow) CGridCell;
    if (!cell)
        return nullptr;
    if (nRow > 0 && nCol > 0 && nCol < m_nCols)
        cell->m_nFormat = GetItemFormat(nRow - 1, nCol);
    cell->m_lfFont = m_Logfont;
    return cell;
}

void CGridCtrl::EmptyCell(CGridCell* pCell, int nRow, int nCol)
{
    SetItemState(nRow, nCol, 0);
    if (pCell)
        pCell->m_strText.Empty();
}

CGridCell* CGridCtrl::GetCell(int nRow, int nCol) const
{
    if (nRow < 0 || nRow >= m_nRows || nCol < 0 || nCol >= m_nCols || std::size_t(nRow) >= m_RowData.size())
        return nullptr;
    const CGridRow* row = m_RowData[std::size_t(nRow)];
    if (!row || std::size_t(nCol) >= row->size())
        return nullptr;
    return (*row)[std::size_t(nCol)];
}

BOOL CGridCtrl::SetCell(int nRow, int nCol, CGridCell* pCell)
{
    if (nRow < 0 || nRow >= m_nRows || nCol < 0 || nCol >= m_nCols || std::size_t(nRow) >= m_RowData.size())
        return FALSE;
    CGridRow* row = m_RowData[std::size_t(nRow)];
    if (!row || std::size_t(nCol) >= row->size())
        return FALSE;
    (*row)[std::size_t(nCol)] = pCell;
    return TRUE;
}

// Every cell of a row that is still in the grid goes through EmptyCell, then the row goes.
void CGridCtrl::DestroyRow(CGridRow* row, int nRow)
{
    if (!row)
        return;
    for (std::size_t col = 0; col < row->size(); ++col) {
        CGridCell* cell = (*row)[col];
        if (!cell)
            continue;
        EmptyCell(cell, nRow, int(col));
        delete cell;
        (*row)[col] = nullptr;
    }
    delete row;
}

BOOL CGridCtrl::SetRowCount(int nRows)
{
    if (nRows == m_nRows)
        return TRUE;
    if (nRows < 0)
        return FALSE;
    // The owner hears of the focus leaving and may change the grid meanwhile, so
    // nothing is measured before it has had its say.
    if (m_idCurrentCell.row >= nRows)
        SetFocusCell(-1, -1);
    if (nRows < m_nFixedRows)
        m_nFixedRows = nRows;
    const int oldRows = m_nRows;
    if (nRows < oldRows)
        AbandonCellEditors(nRows, INT_MAX);
    if (nRows > oldRows) {
        try {
            m_RowData.reserve(std::size_t(nRows));
            m_arRowHeights.reserve(std::size_t(nRows));
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
    }

    for (int row = oldRows - 1; row >= nRows; --row) {
        DestroyRow(m_RowData[std::size_t(row)], row);
        m_RowData[std::size_t(row)] = nullptr;
    }
    m_nRows = nRows;
    m_RowData.resize(std::size_t(nRows), nullptr);
    m_arRowHeights.resize(std::size_t(nRows), UINT(m_nDefCellHeight));
    SizesChanged();

    for (int row = oldRows; row < nRows; ++row) {
        CGridRow* fresh = new (std::nothrow) CGridRow;
        bool filled = fresh != nullptr;
        if (filled) {
            m_RowData[std::size_t(row)] = fresh;
            try {
                fresh->resize(std::size_t(m_nCols), nullptr);
            } catch (const std::bad_alloc&) {
                filled = false;
            }
        }
        for (int col = 0; filled && col < m_nCols; ++col)
            filled = ((*fresh)[std::size_t(col)] = CreateCell(row, col)) != nullptr;
        if (!filled) {
            for (int made = row; made >= oldRows; --made) {
                DestroyRow(m_RowData[std::size_t(made)], made);
                m_RowData[std::size_t(made)] = nullptr;
            }
            m_nRows = oldRows;
            m_RowData.resize(std::size_t(oldRows));
            m_arRowHeights.resize(std::size_t(oldRows));
            SizesChanged();
            return FALSE;
        }
    }
    if (CanDraw()) {
        ResetScrollBars();
        RepaintAll();
    }
    return TRUE;
}

BOOL CGridCtrl::SetColumnCount(int nCols)
{
    if (nCols == m_nCols)
        return TRUE;
    if (nCols < 0)
        return FALSE;
    if (m_idCurrentCell.col >= nCols)
        SetFocusCell(-1, -1);
    if (nCols < m_nFixedCols)
        m_nFixedCols = nCols;
    const int oldCols = m_nCols;
    if (nCols < oldCols)
        AbandonCellEditors(INT_MAX, nCols);
    if (nCols > oldCols) {
        try {
            m_arColWidths.reserve(std::size_t(nCols));
            for (CGridRow* row : m_RowData)
                if (row)
                    row->reserve(std::size_t(nCols));
        } catch (const std::bad_alloc&) {
            return FALSE;
        }
    }

    auto dropColumns = [this](int from, int to) {
        for (int row = 0; row < m_nRows; ++row) {
            CGridRow* cells = m_RowData[std::size_t(row)];
            for (int col = from; cells && col < to && std::size_t(col) < cells->size(); ++col) {
                if (CGridCell* cell = (*cells)[std::size_t(col)]) {
                    EmptyCell(cell, row, col);
                    delete cell;
                    (*cells)[std::size_t(col)] = nullptr;
                }
            }
        }
    };
    dropColumns(nCols, oldCols);

    m_nCols = nCols;
    m_arColWidths.resize(std::size_t(nCols), UINT(m_nDefCellWidth));
    SizesChanged();
    for (CGridRow* row : m_RowData)
        if (row)
            row->resize(std::size_t(nCols), nullptr);

    for (int row = 0; row < m_nRows; ++row) {
        CGridRow* cells = m_RowData[std::size_t(row)];
        for (int col = oldCols; cells && col < nCols; ++col) {
            if (((*cells)[std::size_t(col)] = CreateCell(row, col)))
                continue;
            dropColumns(oldCols, nCols);
            m_nCols = oldCols;
            m_arColWidths.resize(std::size_t(oldCols));
            SizesChanged();
            for (CGridRow* r : m_RowData)
                if (r)
                    r->resize(std::size_t(oldCols));
            return FALSE;
        }
    }
    if (CanDraw()) {
        ResetScrollBars();
        RepaintAll();
    }
    return TRUE;
}

BOOL CGridCtrl::SetFixedRowCount(int nFixedRows)
{
    if (nFixedRows < 0)
        return FALSE;
    if (nFixedRows > m_nRows && !SetRowCount(nFixedRows))
        return FALSE;
    if (m_idCurrentCell.row < nFixedRows)
        SetFocusCell(-1, -1);
    m_nFixedRows = nFixedRows;
    SizesChanged();
    if (CanDraw())
        RepaintAll();
    return TRUE;
}

BOOL CGridCtrl::SetFixedColumnCount(int nFixedCols)
{
    if (nFixedCols < 0)
        return FALSE;
    if (nFixedCols > m_nCols && !SetColumnCount(nFixedCols))
        return FALSE;
    if (m_idCurrentCell.col < nFixedCols)
        SetFocusCell(-1, -1);
    m_nFixedCols = nFixedCols;
    SizesChanged();
    if (CanDraw())
        RepaintAll();
    return TRUE;
}

int CGridCtrl::InsertRow(LPCTSTR strHeading, int nHeight)
{
    if (nHeight < 0)
        return -1;
    if (nHeight == 0)
        nHeight = m_arRowHeights.empty() ? m_nDefCellHeight : int(m_arRowHeights.back());
    const int row = m_nRows;
    CGridRow* fresh = nullptr;
    try {
        m_RowData.reserve(m_RowData.size() + 1);
        m_arRowHeights.reserve(m_arRowHeights.size() + 1);
        fresh = new CGridRow(std::size_t(m_nCols), nullptr);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    for (int col = 0; col < m_nCols; ++col) {
        if (!((*fresh)[std::size_t(col)] = CreateCell(row, col))) {
            for (CGridCell* cell : *fresh)
                delete cell;
            delete fresh;
            return -1;
        }
    }
    m_arRowHeights.push_back(UINT(nHeight));
    m_RowData.push_back(fresh);
    ++m_nRows;
    SizesChanged();

    SetItemText(row, 0, strHeading);
    SetItemState(row, m_nFixedCols, 0);
    RedrawRow(row);
    SetFocusCell(row, m_nFixedCols);
    ResetScrollBars();
    return row;
}

int CGridCtrl::InsertColumn(LPCTSTR strHeading, UINT nFormat, int nColumn)
{
    if (nColumn >= 0 && nColumn >= m_nCols)
        return -1;
    if (m_nRows == 0 && !SetRowCount(1))
        return -1;
    for (CGridRow* row : m_RowData)
        if (!row)
            return -1;
    const int col = nColumn < 0 ? m_nCols : nColumn;
    std::vector<CGridCell*> fresh;
    try {
        m_arColWidths.reserve(m_arColWidths.size() + 1);
        for (CGridRow* row : m_RowData)
            row->reserve(row->size() + 1);
        fresh.reserve(std::size_t(m_nRows));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    for (int row = 0; row < m_nRows; ++row) {
        CGridCell* cell = CreateCell(row, col);
        if (!cell) {
            for (CGridCell* made : fresh)
                delete made;
            return -1;
        }
        fresh.push_back(cell);
    }
    if (nColumn >= 0)
        AbandonCellEditors(INT_MAX, col);
    m_arColWidths.insert(m_arColWidths.begin() + col, 0);
    for (int row = 0; row < m_nRows; ++row) {
        CGridRow* cells = m_RowData[std::size_t(row)];
        cells->insert(cells->begin() + col, fresh[std::size_t(row)]);
    }
    ++m_nCols;
    SizesChanged();

    SetItemText(0, col, strHeading);
    for (int row = 0; row < m_nRows; ++row)
        SetItemFormat(row, col, nFormat);
    m_arColWidths[std::size_t(col)] = UINT(std::max<LONG>(m_nDefCellWidth, GetTextExtent(strHeading, TRUE).cx));
    SizesChanged();
    // The cells right of the insertion moved, the focus cell with them.
    if (m_idCurrentCell.col != -1 && nColumn >= 0 && m_idCurrentCell.col >= col)
        ++m_idCurrentCell.col;
    ResetScrollBars();
    return col;
}

// The focus mark belongs to the position, not to the cell: a removal that moves cells
// must not carry it along.
void CGridCtrl::UnmarkFocusCell()
{
    if (IsValid(m_idCurrentCell))
        SetItemState(m_idCurrentCell.row, m_idCurrentCell.col,
                     GetItemState(m_idCurrentCell.row, m_idCurrentCell.col) & ~CellFocused);
}

// After a removal the focus goes to whatever cell now lies in its place; a focus whose
// place went is dropped, so that later growth cannot bring it back without a frame or
// a notification.
void CGridCtrl::ReapplyFocus()
{
    if (IsValid(m_idCurrentCell))
        SetFocusCell(m_idCurrentCell);
    else
        m_idCurrentCell = CCellID(-1, -1);
}

BOOL CGridCtrl::DeleteRow(int nRow)
{
    if (nRow < 0 || nRow >= m_nRows || !m_RowData[std::size_t(nRow)])
        return FALSE;
    AbandonCellEditors(nRow, INT_MAX);
    UnmarkFocusCell();
    DestroyRow(m_RowData[std::size_t(nRow)], nRow);
    m_RowData.erase(m_RowData.begin() + nRow);
    m_arRowHeights.erase(m_arRowHeights.begin() + nRow);
    --m_nRows;
    if (nRow < m_nFixedRows)
        --m_nFixedRows;
    SizesChanged();
    if (m_nRows > m_nFixedRows)
        ReapplyFocus();
    else
        m_idCurrentCell = CCellID(-1, -1);
    ResetScrollBars();
    RepaintAll();
    return TRUE;
}

BOOL CGridCtrl::DeleteColumn(int nColumn)
{
    if (nColumn < 0 || nColumn >= m_nCols)
        return FALSE;
    SetFocusCell(-1, -1);
    // The owner may have removed the column while the focus left; and a missing row
    // would leave the rows with different widths: refuse before touching any.
    if (nColumn >= m_nCols)
        return FALSE;
    for (const CGridRow* row : m_RowData)
        if (!row || std::size_t(nColumn) >= row->size())
            return FALSE;
    AbandonCellEditors(INT_MAX, nColumn);
    UnmarkFocusCell();
    for (int row = 0; row < m_nRows; ++row) {
        CGridRow* cells = m_RowData[std::size_t(row)];
        if (CGridCell* cell = (*cells)[std::size_t(nColumn)]) {
            EmptyCell(cell, row, nColumn);
            delete cell;
        }
        cells->erase(cells->begin() + nColumn);
    }
    m_arColWidths.erase(m_arColWidths.begin() + nColumn);
    --m_nCols;
    if (nColumn < m_nFixedCols)
        --m_nFixedCols;
    SizesChanged();
    ReapplyFocus();
    ResetScrollBars();
    return TRUE;
}

BOOL CGridCtrl::DeleteNonFixedRows()
{
    for (int row = m_nRows; row >= m_nFixedRows; --row)
        DeleteRow(row);
    return TRUE;
}

BOOL CGridCtrl::DeleteAllItems()
{
    AbandonCellEditors(0, 0);
    SetFocusCell(-1, -1);
    m_arColWidths.clear();
    m_arRowHeights.clear();
    for (std::size_t row = 0; row < m_RowData.size(); ++row) {
        DestroyRow(m_RowData[row], int(row));
        m_RowData[row] = nullptr;
    }
    m_RowData.clear();
    m_idCurrentCell = CCellID(-1, -1);
    m_nRows = m_nFixedRows = m_nCols = m_nFixedCols = 0;
    SizesChanged();
    ResetScrollBars();
    return TRUE;
}

