// CTextView caret, selection and focus: the caret and the selection highlight show
// only while the view has the keyboard focus.
#include "zorkit/editor/TextView.h"

#include <algorithm>

namespace {

bool Before(CPoint a, CPoint b) { return a.y < b.y || (a.y == b.y && a.x < b.x); }

}

void CTextView::UpdateCaret()
{
    if (!m_hWnd)
        return;
    if (!m_focused) {
        HideCaret();
        return;
    }
    m_caretPoint = TextToClient(m_cursorPos, TRUE);
    // Scrolled off to the left, the caret would sit on the margin.
    if (m_caretPoint.x < GetMarginWidth()) {
        HideCaret();
        return;
    }
    CreateSolidCaret(2, GetLineHeight());
    SetCaretPos(m_caretPoint);
    ShowCaret();
}

void CTextView::SetCursorPos(const CPoint& requested)
{
    // A cursor outside the text would show at a line end where nothing can be typed.
    const CPoint pos = ClampToText(requested);
    m_cursorPos = pos;
    SetSelection(pos, pos);
    m_anchor = pos;
    EnsureVisible(pos);
}

void CTextView::SetSelection(CPoint a, CPoint b)
{
    if (Before(b, a))
        std::swap(a, b);
    if (a == m_selStart) {
        if (b != m_selEnd)
            InvalidateLines(std::min(b.y, m_selEnd.y), std::max(b.y, m_selEnd.y), FALSE);
    } else {
        InvalidateLines(a.y, b.y, FALSE);
        InvalidateLines(m_selStart.y, m_selEnd.y, FALSE);
    }
    m_selStart = a;
    m_selEnd = b;
}

void CTextView::GetSelection(CPoint& start, CPoint& end) const
{
    start = m_selStart;
    end = m_selEnd;
}

int CTextView::IsSelection() const { return m_selStart != m_selEnd; }

int CTextView::IsInsideSelection(const CPoint& pos) const
{
    return !Before(pos, m_selStart) && Before(pos, m_selEnd);
}

void CTextView::OnSetFocus(CWnd* oldWnd)
{
    CView::OnSetFocus(oldWnd);
    m_focused = TRUE;
    if (IsSelection())
        InvalidateLines(m_selStart.y, m_selEnd.y, FALSE);
    UpdateCaret();
}

void CTextView::OnKillFocus(CWnd* newWnd)
{
    CView::OnKillFocus(newWnd);
    m_focused = FALSE;
    UpdateCaret();
    if (IsSelection())
        InvalidateLines(m_selStart.y, m_selEnd.y, FALSE);
    if (m_dragging) {
        ReleaseCapture();
        m_dragging = FALSE;
    }
}
