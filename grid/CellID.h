// Cell addresses of the grid: a cell (row, column) and a rectangle of cells. Row -1,
// column -1 is the grid's "no cell".
#pragma once

#include <algorithm>

#include "zorkit/platform/core/WinTypes.h"

class CCellID {
public:
    explicit CCellID(int nRow = -1, int nCol = -1) : row(nRow), col(nCol) {}

    // Not negative in either direction; whether the grid has such a cell is the grid's IsValid.
    BOOL IsValid() const { return row >= 0 && col >= 0; }
    bool operator==(const CCellID& other) const { return row == other.row && col == other.col; }
    bool operator!=(const CCellID& other) const { return !(*this == other); }

    int row;
    int col;
};

class CCellRange {
public:
    explicit CCellRange(int nMinRow = -1, int nMinCol = -1, int nMaxRow = -1, int nMaxCol = -1)
        : m_nMinRow(nMinRow), m_nMinCol(nMinCol), m_nMaxRow(nMaxRow), m_nMaxCol(nMaxCol)
    {
    }

    void Set(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol)
    {
        m_nMinRow = nMinRow;
        m_nMinCol = nMinCol;
        m_nMaxRow = nMaxRow;
        m_nMaxCol = nMaxCol;
    }
    BOOL IsValid() const
    {
        return m_nMinRow >= 0 && m_nMinCol >= 0 && m_nMaxRow >= 0 && m_nMaxCol >= 0 && m_nMinRow <= m_nMaxRow &&
               m_nMinCol <= m_nMaxCol;
    }
    BOOL InRange(int row, int col) const
    {
        return row >= m_nMinRow && row <= m_nMaxRow && col >= m_nMinCol && col <= m_nMaxCol;
    }
    BOOL InRange(const CCellID& cell) const { return InRange(cell.row, cell.col); }

    int GetMinRow() const { return m_nMinRow; }
    void SetMinRow(int row) { m_nMinRow = row; }
    int GetMinCol() const { return m_nMinCol; }
    void SetMinCol(int col) { m_nMinCol = col; }
    int GetMaxRow() const { return m_nMaxRow; }
    void SetMaxRow(int row) { m_nMaxRow = row; }
    int GetMaxCol() const { return m_nMaxCol; }
    void SetMaxCol(int col) { m_nMaxCol = col; }
    CCellID GetTopLeft() const { return CCellID(m_nMinRow, m_nMinCol); }

    // The cells both ranges hold: the greater minima and the smaller maxima.
    CCellRange Intersect(const CCellRange& other) const
    {
        return CCellRange(std::max(m_nMinRow, other.m_nMinRow), std::max(m_nMinCol, other.m_nMinCol),
                          std::min(m_nMaxRow, other.m_nMaxRow), std::min(m_nMaxCol, other.m_nMaxCol));
    }
    bool operator==(const CCellRange& o) const
    {
        return m_nMinRow == o.m_nMinRow && m_nMinCol == o.m_nMinCol && m_nMaxRow == o.m_nMaxRow &&
               m_nMaxCol == o.m_nMaxCol;
    }
    bool operator!=(const CCellRange& o) const { return !(*this == o); }

private:
    int m_nMinRow;
    int m_nMinCol;
    int m_nMaxRow;
    int m_nMaxCol;
};
