// In-place editing: opening the cell editor and storing what it hands back.
#include "zorkit/grid/GridCellEditor.h"
#include "zorkit/grid/GridCtrl.h"

void CGridCtrl::OnEditCell(int nRow, int nCol, UINT nChar)
{
    EnsureVisible(nRow, nCol);
    if (!IsValid(nRow, nCol) || !IsCellEditable(nRow, nCol) || !IsCellVisible(nRow, nCol))
        return;
    CRect rect;
    if (!GetCellRect(nRow, nCol, &rect))
        return;
    const long cellsMoved = m_cellsMoved;
    SendMessageToParent(nRow, nCol, GridNotifyBeginEdit);
    // The owner may have changed the grid while it heard of the edit: when cells went or
    // moved, the position may now hold another cell, which was not asked to be edited;
    // and a cell that was made read-only or scrolled out of view gets no editor either.
    if (m_cellsMoved != cellsMoved || !IsValid(nRow, nCol) || !IsCellEditable(nRow, nCol) ||
        !IsCellVisible(nRow, nCol) || !GetCellRect(nRow, nCol, &rect))
        return;

    GV_ITEM item{};
    item.row = nRow;
    item.col = nCol;
    item.mask = ItemMaskText | ItemMaskFormat;
    if (!GetItem(&item))
        return;
    DWORD style = ES_LEFT;
    if (item.nFormat & DT_RIGHT)
        style = ES_RIGHT;
    else if (item.nFormat & DT_CENTER)
        style = ES_CENTER;
    CreateInPlaceEditControl(rect, style, InPlaceEditId, nRow, nCol, item.szText, int(nChar));
}

void CGridCtrl::CreateInPlaceEditControl(CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nCol, LPCTSTR szText,
                                         int nChar)
{
    // The editor deletes itself when its window goes; one that never got a window is ours to free.
    auto* editor = new CGridCellEditor(this, rect, dwStyle, nID, nRow, nCol, szText, UINT(nChar));
    if (!editor->GetSafeHwnd())
        delete editor;
}

void CGridCtrl::OnEndEditCell(int nRow, int nCol, CString& str)
{
    CString previous = GetItemText(nRow, nCol);
    SetItemText(nRow, nCol, str);
    str = previous;
}

void CGridCtrl::OnEndInPlaceEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* record = reinterpret_cast<EditEndRecord*>(pNMHDR);
    if (!::IsWindow(m_hWnd))
        return;
    const CCellID cell(record->item.row, record->item.col);
    const UINT key = UINT(record->item.lParam);
    // An abandoned editor, or one whose cell went meanwhile, stores nothing.
    if (!IsValid(cell))
        return;
    CString text = record->item.szText;
    OnEndEditCell(cell.row, cell.col, text);
    InvalidateCellRect(cell);
    if (m_bModified)
        SendMessageToParent(cell.row, cell.col, GridNotifyEndEdit, text);

    if (key >= VK_PRIOR && key <= VK_DOWN) {
        OnKeyDown(key, 0, 0);
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, key);
    }
}

void CGridCtrl::AbandonCellEditors()
{
    ++m_cellsMoved;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (auto* editor = dynamic_cast<CGridCellEditor*>(CWnd::FromHandlePermanent(child))) {
            editor->Abandon();
            editor->PostMessage(WM_CLOSE);
        }
}
