#include "zorkit/grid/GridCellEditor.h"

#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/WindowDC.h"

namespace {

bool EndsWithCtrl(UINT key)
{
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

}

const CMessageMap* CGridCellEditor::GetThisMessageMap()
{
    static const CMessageMap map(&CEdit::GetThisMessageMap, {
        zorkit::MapMessage<WM_KEYDOWN>(&CGridCellEditor::OnKeyDown),
        zorkit::MapMessage<WM_KEYUP>(&CGridCellEditor::OnKeyUp),
        zorkit::MapMessage<WM_CHAR>(&CGridCellEditor::OnChar),
        zorkit::MapMessage<WM_KILLFOCUS>(&CGridCellEditor::OnKillFocus),
    });
    return &map;
}

CGridCellEditor::CGridCellEditor(CWnd* pParent, CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nColumn,
                                 CString sInitText, UINT nFirstChar)
    : m_nRow(nRow), m_nColumn(nColumn), m_sInitText(std::move(sInitText))
{
    m_bOpening = true;
    Open(pParent, rect, dwStyle, nID, nFirstChar);
    m_bOpening = false;
}

void CGridCellEditor::Open(CWnd* pParent, CRect& rect, DWORD dwStyle, UINT nID, UINT nFirstChar)
{
    const DWORD style = WS_BORDER | WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | dwStyle;
    if (!Create(style, rect, pParent, nID))
        return;
    SetFont(pParent->GetFont());
    SetWindowText(m_sInitText);
    if (!m_hWnd)
        return;
    SetFocus();
    if (!m_hWnd)
        return;
    const int length = m_sInitText.GetLength();
    switch (nFirstChar) {
    case VK_LBUTTON:
    case VK_RETURN:
        SetSel(length, -1);
        return;
    case VK_BACK:
        SetSel(length, -1);
        break;
    case VK_SPACE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        SetSel(0, -1);
        return;
    default:
        SetSel(0, -1);
        break;
    }
    SendMessage(WM_CHAR, nFirstChar);
}

void CGridCellEditor::Abandon()
{
    m_nRow = -1;
    m_nColumn = -1;
}

BOOL CGridCellEditor::PreTranslateMessage(MSG* pMsg)
{
    // Keys go straight to the editor, so that a dialog around the grid never takes
    // Tab, Return or Escape away from it.
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP) {
        ::TranslateMessage(pMsg);
        ::DispatchMessage(pMsg);
        return TRUE;
    }
    if (pMsg->message == WM_SYSCHAR)
        return TRUE;
    return CEdit::PreTranslateMessage(pMsg);
}

void CGridCellEditor::Finish(UINT lastChar)
{
    m_nLastChar = lastChar;
    if (CWnd* parent = GetParent())
        parent->SetFocus();
}

void CGridCellEditor::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (EndsWithCtrl(nChar) && (m_bExitOnArrows || GetKeyState(VK_CONTROL) < 0)) {
        Finish(nChar);
        return;
    }
    if (nChar == VK_ESCAPE) {
        SetWindowText(m_sInitText);
        Finish(nChar);
        return;
    }
    if (nChar == VK_TAB || nChar == VK_RETURN)
        m_nEndingKeyDown = nChar;
    Default();
}

void CGridCellEditor::OnKeyUp(UINT nChar, UINT, UINT)
{
    // Only a key pressed here ends the edit: the release of the Return that opened the
    // editor from the grid is not an answer to it.
    if ((nChar == VK_TAB || nChar == VK_RETURN) && nChar == m_nEndingKeyDown) {
        Finish(nChar);
        return;
    }
    Default();
}

void CGridCellEditor::OnChar(UINT, UINT, UINT)
{
    Default();
    // Grow to the right with the text, but not past the grid's client area.
    CString text;
    GetWindowText(text);
    CWindowDC dc(this);
    CFont* oldFont = dc.SelectObject(GetFont());
    const int width = dc.GetTextExtent(text).cx + 5;
    dc.SelectObject(oldFont);

    CRect client;
    GetClientRect(&client);
    CWnd* parent = GetParent();
    if (width <= client.Width() || !parent)
        return;
    CRect parentClient;
    parent->GetClientRect(&parentClient);
    CRect rect;
    GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    rect.right = std::min<LONG>(rect.left + width, parentClient.right);
    MoveWindow(&rect);
}

void CGridCellEditor::OnKillFocus(CWnd*)
{
    Default();
    EndEdit();
}

void CGridCellEditor::EndEdit()
{
    CString text;
    GetWindowText(text);
    EditEndRecord record{};
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = std::uintptr_t(GetDlgCtrlID());
    record.hdr.code = UINT(GridNotifyEndEdit);
    record.item.mask = ItemMaskText | ItemMaskData;
    record.item.row = m_nRow;
    record.item.col = m_nColumn;
    record.item.szText = text;
    record.item.lParam = LPARAM(m_nLastChar);
    // The owner may destroy this editor while it handles the record: only the
    // handle is used afterwards.
    const HWND self = m_hWnd;
    if (CWnd* owner = GetOwner())
        owner->SendMessage(WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
    ::PostMessage(self, WM_CLOSE, 0, 0);
}

void CGridCellEditor::PostNcDestroy()
{
    CEdit::PostNcDestroy();
    if (!m_bOpening)
        delete this;
}
