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
    m_editStarting = CCellID(nRow, nCol);
    SendMessageToParent(nRow, nCol, GridNotifyBeginEdit);
    const bool moved = m_editStarting != CCellID(nRow, nCol);
    m_editStarting = CCellID(-1, -1);
    // The owner may have changed the grid while it heard of the edit: when cells went or
    // moved, the position may now hold another cell, which was not asked to be edited;
    // and a cell that was made read-only or scrolled out of view gets no editor either.
    if (moved || !IsValid(nRow, nCol) || !IsCellEditable(nRow, nCol) ||
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

std::vector<CGridCellEditor*> CGridCtrl::CellEditors() const
{
    std::vector<CGridCellEditor*> editors;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (auto* editor = dynamic_cast<CGridCellEditor*>(CWnd::FromHandlePermanent(child)))
            editors.push_back(editor);
    return editors;
}

void CGridCtrl::AbandonCellEditors(int fromRow, int fromCol)
{
    auto goesOrMoves = [&](const CCellID& cell) { return cell.row >= fromRow || cell.col >= fromCol; };
    if (goesOrMoves(m_editStarting))
        m_editStarting = CCellID(-1, -1);
    for (CGridCellEditor* editor : CellEditors()) {
        if (!goesOrMoves(editor->GetCell()))
            continue;
        editor->Abandon();
        // The keyboard stays with the grid rather than with a window about to close;
        // losing the focus ends the editor, which then stores nothing.
        if (GetFocus() == editor)
            SetFocus();
        else
            editor->PostMessage(WM_CLOSE);
    }
}
