// The focus cell and the notifications the owner gets about it.
#include "zorkit/grid/GridCtrl.h"

CCellID CGridCtrl::SetFocusCell(CCellID cell)
{
    const CCellID previous = m_idCurrentCell;
    m_idCurrentCell = cell;

    // The owner may change the grid while it handles a notification (delete rows, move
    // the focus), so every step checks its cell again before touching it.
    if (IsValid(previous)) {
        SendMessageToParent(previous.row, previous.col, GridNotifyFocusLeaving);
        if (IsValid(previous)) {
            SetItemState(previous.row, previous.col, GetItemState(previous.row, previous.col) & ~CellFocused);
            RedrawCell(previous);
            if (previous.col != cell.col)
                for (int row = 0; row < m_nFixedRows; ++row)
                    RedrawCell(row, previous.col);
            if (previous.row != cell.row)
                for (int col = 0; col < m_nFixedCols; ++col)
                    RedrawCell(previous.row, col);
        }
    }
    if (IsValid(cell) && m_idCurrentCell == cell) {
        SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | CellFocused);
        RedrawCell(cell);
        if (previous.col != cell.col)
            for (int row = 0; row < m_nFixedRows; ++row)
                RedrawCell(row, cell.col);
        if (previous.row != cell.row)
            for (int col = 0; col < m_nFixedCols; ++col)
                RedrawCell(cell.row, col);
        SendMessageToParent(cell.row, cell.col, GridNotifyFocusEntered);
    }
    return previous;
}

CCellID CGridCtrl::SetFocusCell()
{
    if (m_idCurrentCell.row == -1 || m_idCurrentCell.col == -1)
        m_idCurrentCell = CCellID(m_nFixedRows, m_nFixedCols);
    return SetFocusCell(m_idCurrentCell);
}

LRESULT CGridCtrl::SendMessageToParent(int nRow, int nCol, int nMessage, LPCTSTR text)
{
    if (!::IsWindow(m_hWnd))
        return 0;
    GridNotifyRecord record{};
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = std::uintptr_t(GetDlgCtrlID());
    record.hdr.code = UINT(nMessage);
    record.iRow = nRow;
    record.iColumn = nCol;
    record.szText = text;
    CWnd* owner = GetOwner();
    if (!owner || !::IsWindow(owner->m_hWnd))
        return 0;
    return owner->SendMessage(WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}
