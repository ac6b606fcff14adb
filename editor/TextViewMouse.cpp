// CTextView mouse selection: a click places the cursor, Shift+click and dragging
// extend the selection from the anchor, the margin selects whole lines, a double
// click selects a word. The mouse is captured from the press to the release.
#include "zorkit/editor/TextView.h"

#include "zorkit/module/ResourceIds.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/Cursor.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/Messages.h"

namespace {

// Double-byte text counts as word text, so a double click selects a run of it. The
// character is the count bytes at chars.
bool IsWordCharacter(const char* chars, int count)
{
    const auto byte = static_cast<unsigned char>(chars[0]);
    return count == 2 || (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || byte == '_' || byte >= 0xA1;
}

// Cursor resources are looked up by id in the library's own resources; the handle only
// has to differ from null, which asks for a standard shape.
char g_libraryResources;

}

void CTextView::OnLButtonDown(UINT flags, CPoint point)
{
    CView::OnLButtonDown(flags, point);
    const CPoint pos = ClientToText(point);
    m_lineSelect = FALSE;
    CloseUndoGroup();
    if (flags & MK_SHIFT) {
        m_cursorPos = pos;
        EnsureVisible(m_cursorPos);
        SetSelection(m_anchor, m_cursorPos);
    } else if (point.x < GetMarginWidth()) {
        SetCursorPos(CPoint(0, pos.y));
        m_lineSelect = TRUE;
        SetSelection(CPoint(0, pos.y), CPoint(GetLineLength(pos.y), pos.y));
    } else {
        SetCursorPos(pos);
    }
    m_dragging = TRUE;
    SetCapture();
}

void CTextView::OnMouseMove(UINT flags, CPoint point)
{
    CView::OnMouseMove(flags, point);
    if (!m_dragging)
        return;
    if (point.x > GetMarginWidth())
        m_lineSelect = FALSE;
    const CPoint pos = ClientToText(point);
    if (m_lineSelect) {
        // Whole lines: the selection grows from the line first clicked.
        if (pos.y < m_selStart.y) {
            m_anchor = m_selEnd;
            m_cursorPos = pos;
        } else if (pos.y == m_selStart.y) {
            return;
        } else if (pos.y > m_selEnd.y) {
            m_anchor = m_selStart;
            m_cursorPos = CPoint(GetLineLength(pos.y), pos.y);
        }
    } else {
        m_cursorPos = pos;
    }
    EnsureVisible(pos);
    SetSelection(m_anchor, m_cursorPos);
}

void CTextView::OnLButtonUp(UINT flags, CPoint point)
{
    if (GetCapture() == this)
        ReleaseCapture();
    m_dragging = FALSE;
    if (m_lineSelect && m_anchor == m_selStart) {
        // Lines selected downwards: the cursor goes to the start of the next line.
        if (m_cursorPos.y < GetLineCount() - 1)
            m_cursorPos = CPoint(0, m_cursorPos.y + 1);
        else
            m_cursorPos.x = GetLineLength(m_cursorPos.y);
        EnsureVisible(m_cursorPos);
    }
    CView::OnLButtonUp(flags, point);
}

void CTextView::OnLButtonDblClk(UINT flags, CPoint point)
{
    CView::OnLButtonDblClk(flags, point);
    if (m_dragging)
        return;
    // The first click may have been a margin click; its release must not move the
    // cursor off the word.
    m_lineSelect = FALSE;
    CloseUndoGroup();
    const CPoint pos = ClientToText(point);
    m_anchor = WordToLeft(pos);
    m_cursorPos = WordToRight(pos);
    EnsureVisible(m_cursorPos);
    SetSelection(m_anchor, m_cursorPos);
}

CPoint CTextView::WordToLeft(CPoint pos)
{
    pos = CharacterStart(pos);
    const char* chars = GetLineChars(pos.y);
    const int length = GetLineLength(pos.y);
    while (chars && pos.x > 0) {
        const int previous = zorkit::PrevGbkBoundary(chars, length, pos.x);
        if (!IsWordCharacter(chars + previous, pos.x - previous))
            break;
        pos.x = previous;
    }
    return pos;
}

CPoint CTextView::WordToRight(CPoint pos)
{
    pos = CharacterStart(pos);
    const char* chars = GetLineChars(pos.y);
    const int length = GetLineLength(pos.y);
    while (chars && pos.x < length) {
        const int next = zorkit::NextGbkBoundary(chars, length, pos.x);
        if (!IsWordCharacter(chars + pos.x, next - pos.x))
            break;
        pos.x = next;
    }
    return pos;
}

BOOL CTextView::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (hitTest != UINT(HTCLIENT))
        return CView::OnSetCursor(wnd, hitTest, message);
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    if (point.x < GetMarginWidth())
        ::SetCursor(LoadCursor(&g_libraryResources, MAKEINTRESOURCE(zorkit::IDC_MARGIN_CURSOR)));
    else
        ::SetCursor(LoadCursor(nullptr, IDC_IBEAM));
    return TRUE;
}
