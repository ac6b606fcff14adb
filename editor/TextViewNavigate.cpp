// CTextView keyboard navigation. Columns are bytes: a double-byte character takes two
// steps. Up and Down keep the caret's pixel column, not a remembered one.
#include "zorkit/editor/TextView.h"

#include <algorithm>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/platform/ui/Keys.h"

void CTextView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    const BOOL shift = GetKeyState(VK_SHIFT) < 0;
    const BOOL ctrl = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_PRIOR: OnPageUp(shift); break;
    case VK_NEXT: OnPageDown(shift); break;
    case VK_END: OnMoveEnd(shift, ctrl); break;
    case VK_HOME: OnMoveHome(shift, ctrl); break;
    case VK_LEFT: OnMoveLeft(shift); break;
    case VK_UP: OnMoveUp(shift); break;
    case VK_RIGHT: OnMoveRight(shift); break;
    case VK_DOWN: OnMoveDown(shift); break;
    default: break;
    }
    CView::OnKeyDown(key, repeat, flags);
}

void CTextView::CloseUndoGroup()
{
    if (m_buffer)
        m_buffer->CloseUndoGroup();
}

void CTextView::FinishMove(BOOL select)
{
    CloseUndoGroup();
    EnsureVisible(m_cursorPos);
    if (!select)
        m_anchor = m_cursorPos;
    SetSelection(m_anchor, m_cursorPos);
}

void CTextView::OnMoveLeft(BOOL select)
{
    m_cursorPos = ClampToText(m_cursorPos);
    if (m_cursorPos.x > 0)
        --m_cursorPos.x;
    else if (m_cursorPos.y > 0)
        m_cursorPos = CPoint(GetLineLength(m_cursorPos.y - 1), m_cursorPos.y - 1);
    FinishMove(select);
}

void CTextView::OnMoveRight(BOOL select)
{
    m_cursorPos = ClampToText(m_cursorPos);
    if (m_cursorPos.x < GetLineLength(m_cursorPos.y))
        ++m_cursorPos.x;
    else if (m_cursorPos.y < GetLineCount() - 1)
        m_cursorPos = CPoint(0, m_cursorPos.y + 1);
    FinishMove(select);
}

void CTextView::OnMoveUp(BOOL select)
{
    if (m_cursorPos.y <= 0)
        return;
    CPoint caret = TextToClient(m_cursorPos);
    caret.y -= GetLineHeight();
    m_cursorPos = ClientToText(caret);
    FinishMove(select);
}

void CTextView::OnMoveDown(BOOL select)
{
    if (m_cursorPos.y >= GetLineCount() - 1)
        return;
    CPoint caret = TextToClient(m_cursorPos);
    caret.y += GetLineHeight();
    m_cursorPos = ClientToText(caret);
    FinishMove(select);
}

void CTextView::OnMoveHome(BOOL select, BOOL ctrl)
{
    if (ctrl)
        m_cursorPos = CPoint(std::min(int(m_cursorPos.x), GetLineLength(0)), 0);
    else
        m_cursorPos.x = 0;
    FinishMove(select);
}

void CTextView::OnMoveEnd(BOOL select, BOOL ctrl)
{
    const int last = GetLineCount() - 1;
    if (ctrl)
        m_cursorPos = CPoint(std::min(int(m_cursorPos.x), GetLineLength(last)), last);
    else
        m_cursorPos = CPoint(GetLineLength(m_cursorPos.y), m_cursorPos.y);
    FinishMove(select);
}

void CTextView::OnPageUp(BOOL select)
{
    const int lines = GetClientLines();
    const int top = std::max(0, m_topLine - lines);
    if (top == m_topLine) {
        m_cursorPos.y = 0;
    } else {
        ScrollToLine(top, TRUE);
        UpdateSiblingScrollPos(TRUE);
        m_cursorPos.y = std::max(0, int(m_cursorPos.y) - lines);
    }
    m_cursorPos = ClampToText(m_cursorPos);
    FinishMove(select);
}

void CTextView::OnPageDown(BOOL select)
{
    const int lines = GetClientLines();
    const int lineCount = GetLineCount();
    int top = m_topLine + lines;
    if (top + lines >= lineCount)
        top = lineCount - lines;
    top = std::max(0, top);
    if (top == m_topLine) {
        m_cursorPos.y = lineCount - 1;
    } else {
        ScrollToLine(top, TRUE);
        UpdateSiblingScrollPos(TRUE);
        m_cursorPos.y = std::min(lineCount - 1, int(m_cursorPos.y) + lines);
    }
    m_cursorPos = ClampToText(m_cursorPos);
    FinishMove(select);
}
