// Moving the focus with the keyboard, and typing that opens the cell editor.
#include "zorkit/grid/GridCtrl.h"

namespace {
bool Held(int key) { return GetKeyState(key) < 0; }
}

BOOL CGridCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN)
        m_TitleTip.Hide();
    return CWnd::PreTranslateMessage(pMsg);
}

UINT CGridCtrl::OnGetDlgCode()
{
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (m_bHandleTabKey && !Held(VK_CONTROL))
        code |= DLGC_WANTTAB;
    return code;
}

void CGridCtrl::EnsureVisible(int nRow, int nCol)
{
    if (!IsValid(nRow, nCol))
        return;
    const CCellRange visible = GetVisibleNonFixedCellRange();
    for (int right = nCol - visible.GetMaxCol(); right > 0; --right)
        SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    for (int left = visible.GetMinCol() - nCol; left > 0; --left)
        SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
    for (int down = nRow - visible.GetMaxRow(); down > 0; --down)
        SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    for (int up = visible.GetMinRow() - nRow; up > 0; --up)
        SendMessage(WM_VSCROLL, SB_LINEUP, 0);

    CRect cell, client;
    if (!GetCellRect(nRow, nCol, &cell))
        return;
    GetClientRect(&client);
    if (cell.right > client.right)
        SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    if (cell.bottom > client.bottom)
        SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
}

void CGridCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    auto defaultProcessing = [&] { DefWindowProc(WM_KEYDOWN, nChar, MAKELPARAM(WORD(nRepCnt), WORD(nFlags))); };
    if (!IsValid(m_idCurrentCell)) {
        defaultProcessing();
        return;
    }
    const bool shift = Held(VK_SHIFT);
    CCellID next = m_idCurrentCell;
    bool changeLine = false;

    switch (nChar) {
    case VK_TAB:
        if (!m_bHandleTabKey) {
            defaultProcessing();
        } else if (shift) {
            if (next.col > m_nFixedCols) {
                next.col--;
            } else if (next.col == m_nFixedCols && next.row > m_nFixedRows) {
                next.row--;
                next.col = m_nCols - 1;
                changeLine = true;
            } else {
                defaultProcessing();
            }
        } else {
            if (next.col < m_nCols - 1) {
                next.col++;
            } else if (next.col == m_nCols - 1 && next.row < m_nRows - 1) {
                next.row++;
                next.col = m_nFixedCols;
                changeLine = true;
            } else {
                defaultProcessing();
            }
        }
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        const int before = GetTopleftNonFixedCell().row;
        SendMessage(WM_VSCROLL, nChar == VK_PRIOR ? SB_PAGEUP : SB_PAGEDOWN, 0);
        const int moved = GetTopleftNonFixedCell().row - before;
        if (nChar == VK_PRIOR)
            next.row = moved ? std::max(m_nFixedRows, next.row + moved) : m_nFixedRows;
        else
            next.row = moved ? std::min(m_nRows - 1, next.row + moved) : m_nRows - 1;
        break;
    }
    case VK_END:
        SendMessage(WM_HSCROLL, SB_RIGHT, 0);
        next.col = m_nCols - 1;
        break;
    case VK_HOME:
        SendMessage(WM_HSCROLL, SB_LEFT, 0);
        next.col = m_nFixedCols;
        break;
    case VK_LEFT:
        if (next.col > m_nFixedCols)
            next.col--;
        break;
    case VK_UP:
        if (next.row > m_nFixedRows)
            next.row--;
        break;
    case VK_RIGHT:
        if (next.col < m_nCols - 1)
            next.col++;
        break;
    case VK_DOWN:
        if (next.row < m_nRows - 1)
            next.row++;
        break;
    case VK_DELETE:
        if (IsCellEditable(m_idCurrentCell)) {
            const CCellID cell = m_idCurrentCell;
            SetItemText(cell.row, cell.col, "");
            if (m_bModified) {
                RedrawCell(cell);
                if (::IsWindow(m_hWnd))
                    SendMessageToParent(cell.row, cell.col, GridNotifyEndEdit, "");
            }
        }
        break;
    default:
        defaultProcessing();
        break;
    }

    if (next == m_idCurrentCell)
        return;
    SetFocusCell(next);
    if (IsCellVisible(next))
        return;
    switch (nChar) {
    case VK_TAB:
        if (shift && changeLine) {
            SendMessage(WM_VSCROLL, SB_LINEUP, 0);
            SetScrollPos32(SB_HORZ, m_nHScrollMax);
        } else if (shift) {
            SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
        } else if (changeLine) {
            SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
            SetScrollPos32(SB_HORZ, 0);
        } else {
            SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        }
        break;
    case VK_LEFT:
        SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
        break;
    case VK_UP:
        SendMessage(WM_VSCROLL, SB_LINEUP, 0);
        break;
    case VK_RIGHT:
        SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
        break;
    case VK_DOWN:
        SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        break;
    default:
        break;
    }
    EnsureVisible(next);
    RepaintAll();
}

void CGridCtrl::OnChar(UINT nChar, UINT, UINT)
{
    if (m_MouseMode == MouseIdle && !(m_bHandleTabKey && nChar == VK_TAB))
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, nChar);
    Default();
}
