// The mouse: focus by clicks, resizing rows and columns by dragging their dividers in
// the headings, auto-sizing by double-clicking a divider, the second click that opens
// the editor, title tips, and the wheel.
#include "zorkit/grid/GridCtrl.h"
#include "zorkit/platform/gdi/DC.h"

bool CGridCtrl::OnDivider(int at, int origin, int size, int index) const
{
    // As many pixels either side of the boundary: the cell's first ones and its last ones.
    return (at - origin <= m_nResizeCaptureRange && index != 0) || origin + size - 1 - at <= m_nResizeCaptureRange;
}

void CGridCtrl::InvertSizingBand(CPoint at)
{
    CRect client;
    GetClientRect(&client);
    const CRect band = m_MouseMode == MouseSizingColumn ? CRect(at.x, client.top, at.x + 2, client.bottom)
                                                        : CRect(client.left, at.y, client.right, at.y + 2);
    if (CDC* dc = GetDC()) {
        dc->InvertRect(&band);
        ReleaseDC(dc);
    }
}

bool CGridCtrl::HoverModeAt(CPoint point, int& mode)
{
    mode = MouseIdle;
    const bool columns = point.y < GetFixedRowHeight() && m_bAllowColumnResize;
    const bool rows = !columns && point.x < GetFixedColumnWidth() && m_bAllowRowResize;
    if (!columns && !rows)
        return true;
    const CCellID cell = GetCellFromPt(point);
    CPoint origin;
    if (!GetCellOrigin(cell, &origin))
        return false;
    if (columns && OnDivider(point.x, origin.x, GetColumnWidth(cell.col), cell.col))
        mode = MouseOverColumnDivider;
    else if (rows && OnDivider(point.y, origin.y, GetRowHeight(cell.row), cell.row))
        mode = MouseOverRowDivider;
    return true;
}

LPCTSTR CGridCtrl::CursorFor(int mode)
{
    return mode == MouseOverRowDivider ? IDC_SIZENS : mode == MouseOverColumnDivider ? IDC_SIZEWE : IDC_ARROW;
}

void CGridCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point))
        return;

    if (!(nFlags & MK_LBUTTON)) {
        int mode = MouseIdle;
        if (!HoverModeAt(point, mode))
            return;
        if (m_MouseMode != mode)
            SetCursor(LoadCursor(nullptr, CursorFor(mode)));
        m_MouseMode = mode;
        // Over a divider the grid must hear when the pointer leaves, or the divider mode
        // would outlast it (and typing would open no editor).
        if (mode != MouseIdle) {
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&track);
        }

        if (m_MouseMode == MouseIdle && m_bTitleTips) {
            const CCellID cell = GetCellFromPt(point);
            const bool corner = cell.row < m_nFixedRows && cell.col < m_nFixedCols;
            CRect rect;
            if (!corner && GetCellRect(cell, &rect))
                m_TitleTip.Show(rect, GetItemText(cell.row, cell.col), 0);
        }
        m_LastMousePoint = point;
        return;
    }

    if (!IsValid(m_LeftClickDownCell)) {
        m_LastMousePoint = point;
        return;
    }
    switch (m_MouseMode) {
    case MouseSelecting: {
        const CCellID cell = GetCellFromPt(point);
        if (!IsValid(cell))
            return;
        if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols)
            SetFocusCell(cell);
        break;
    }
    case MouseSizingColumn:
    case MouseSizingRow:
        InvertSizingBand(m_LastMousePoint);
        InvertSizingBand(point);
        break;
    default:
        break;
    }
    m_LastMousePoint = point;
}

LRESULT CGridCtrl::OnMouseLeave(WPARAM, LPARAM)
{
    if (m_MouseMode == MouseOverColumnDivider || m_MouseMode == MouseOverRowDivider)
        m_MouseMode = MouseIdle;
    return 0;
}

void CGridCtrl::OnLButtonDown(UINT, CPoint point)
{
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = GetCellFromPt(point);
    if (!IsValid(m_LeftClickDownCell))
        return;
    SetFocus();
    // Closing an editor tells the owner, who may have changed the grid meanwhile.
    if (!IsValid(m_LeftClickDownCell))
        return;
    if (m_LeftClickDownCell == m_idCurrentCell) {
        m_MouseMode = MousePrepareEdit;
        return;
    }
    SetFocusCell(-1, -1);
    // The owner heard of the focus leaving and may have removed the clicked cell.
    if (!IsValid(m_LeftClickDownCell))
        return;
    const CCellID target(std::max(m_LeftClickDownCell.row, m_nFixedRows), std::max(m_LeftClickDownCell.col, m_nFixedCols));
    if (IsValid(target))
        SetFocusCell(target);

    CRect client;
    GetClientRect(&client);
    if (m_MouseMode == MouseOverColumnDivider) {
        m_MouseMode = MouseSizingColumn;
        CPoint origin;
        if (!GetCellOrigin(0, m_LeftClickDownCell.col, &origin))
            return;
        InvertSizingBand(point);
        // On the left edge of a column, the column before it is sized.
        if (point.x - origin.x <= m_nResizeCaptureRange && !GetCellOrigin(0, --m_LeftClickDownCell.col, &origin))
            return;
        CRect confine(origin.x, client.top, client.right, client.bottom);
        ClientToScreen(&confine);
        ClipCursor(&confine);
    } else if (m_MouseMode == MouseOverRowDivider) {
        m_MouseMode = MouseSizingRow;
        CPoint origin;
        if (!GetCellOrigin(m_LeftClickDownCell, &origin))
            return;
        InvertSizingBand(point);
        if (point.y - origin.y <= m_nResizeCaptureRange && !GetCellOrigin(--m_LeftClickDownCell.row, 0, &origin))
            return;
        CRect confine(client.left, origin.y, client.right, client.bottom);
        ClientToScreen(&confine);
        ClipCursor(&confine);
    }
    m_LastMousePoint = point;
}

void CGridCtrl::OnLButtonUp(UINT, CPoint point)
{
    Default();
    ClipCursor(nullptr);

    if (m_MouseMode == MousePrepareEdit) {
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, VK_LBUTTON);
    } else if (m_MouseMode == MouseSizingColumn || m_MouseMode == MouseSizingRow) {
        InvertSizingBand(m_LastMousePoint);
        if (point != m_LeftClickDownPoint) {
            CPoint origin;
            if (!GetCellOrigin(m_LeftClickDownCell, &origin))
                return;
            if (m_MouseMode == MouseSizingColumn)
                SetColumnWidth(m_LeftClickDownCell.col, point.x - origin.x);
            else
                SetRowHeight(m_LeftClickDownCell.row, point.y - origin.y);
            ResetScrollBars();
            RepaintAll();
        }
    }
    // The pointer still rests where it was released: over a divider, the second click
    // of a double click finds the divider mode again.
    int mode = MouseIdle;
    HoverModeAt(point, mode);
    m_MouseMode = mode;
    SetCursor(LoadCursor(nullptr, CursorFor(mode)));

    // The press is over: a later release without a press here names no cell.
    const CCellID clicked = m_LeftClickDownCell;
    m_LeftClickDownCell = CCellID(-1, -1);
    if (!IsValid(clicked))
        return;
    CWnd* owner = GetOwner();
    if (owner && ::IsWindow(owner->m_hWnd))
        owner->PostMessage(WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID()), 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CGridCtrl::OnLButtonDblClk(UINT, CPoint point)
{
    // The second press of a double click is a press like the first.
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = GetCellFromPt(point);
    if (m_MouseMode == MouseOverColumnDivider) {
        const CCellID cell = GetCellFromPt(point);
        CPoint origin;
        if (!GetCellOrigin(0, cell.col, &origin))
            return;
        AutoSizeColumn(point.x - origin.x <= m_nResizeCaptureRange ? cell.col - 1 : cell.col);
        RepaintAll();
    } else if (m_MouseMode == MouseOverRowDivider) {
        const CCellID cell = GetCellFromPt(point);
        CPoint origin;
        if (!GetCellOrigin(cell, &origin))
            return;
        AutoSizeRow(point.y - origin.y <= m_nResizeCaptureRange ? cell.row - 1 : cell.row);
        RepaintAll();
    } else if (m_MouseMode == MouseIdle) {
        const CCellID click = m_LeftClickDownCell;
        if (IsValid(click) && click.row >= m_nFixedRows && click.col >= m_nFixedCols)
            OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, VK_LBUTTON);
        else if (click.col < m_nFixedCols)
            OnEditCell(click.row, click.col, VK_LBUTTON);
    }
    m_MouseMode = MouseIdle;
    Default();
}

BOOL CGridCtrl::OnSetCursor(CWnd*, UINT nHitTest, UINT)
{
    if (nHitTest != HTCLIENT)
        return BOOL(Default());
    SetCursor(LoadCursor(nullptr, CursorFor(m_MouseMode)));
    return TRUE;
}

BOOL CGridCtrl::OnMouseWheel(UINT, short zDelta, CPoint)
{
    if (m_nRowsPerWheelNotch == -1) {
        const int pages = zDelta / WHEEL_DELTA;
        for (int page = 0; page < pages; ++page)
            PostMessage(WM_VSCROLL, SB_PAGEUP, 0);
        for (int page = 0; page < -pages; ++page)
            PostMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    } else {
        const int lines = m_nRowsPerWheelNotch * zDelta / WHEEL_DELTA;
        for (int line = 0; line < lines; ++line)
            PostMessage(WM_VSCROLL, SB_LINEUP, 0);
        for (int line = 0; line < -lines; ++line)
            PostMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    }
    // Handled here: passed on, the wheel would scroll the parent as well.
    return TRUE;
}
