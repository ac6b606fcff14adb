// CTextView scrolling: the scroll bars, moving the pixels already shown, panes of a
// splitter that follow each other, and what a change of the buffer does to the view.
#include "zorkit/editor/TextView.h"

#include <algorithm>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/UpdateContext.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/ScrollBar.h"
#include "zorkit/platform/ui/SplitterWnd.h"

void CTextView::RecalcVScrollBar(BOOL positionOnly)
{
    if (!m_hWnd)
        return;
    if (positionOnly) {
        SetScrollPos(SB_VERT, m_topLine);
        return;
    }
    // Past the last page the view would show empty rows, and the next page or line
    // down, limited to the last page, would scroll up.
    const int lastTop = std::max(0, GetLineCount() - GetClientLines());
    if (m_topLine > lastTop) {
        SetTopLine(lastTop);
        Invalidate(FALSE);
        UpdateCaret();
    }
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_DISABLENOSCROLL | SIF_RANGE | SIF_PAGE | SIF_POS, 0,
                    GetLineCount() - 1, UINT(GetClientLines()), m_topLine, 0};
    SetScrollInfo(SB_VERT, &info);
}

void CTextView::RecalcHScrollBar(BOOL positionOnly)
{
    if (!m_hWnd)
        return;
    if (positionOnly) {
        SetScrollPos(SB_HORZ, m_horzOffset);
        return;
    }
    if (GetClientWidth() >= GetMaxLineExtent() && m_horzOffset > 0) {
        m_horzOffset = 0;
        Invalidate(FALSE);
        UpdateCaret();
    }
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_DISABLENOSCROLL | SIF_RANGE | SIF_PAGE | SIF_POS, 0,
                    GetMaxLineExtent() + GetCharWidthA(), UINT(GetClientWidth()), m_horzOffset, 0};
    SetScrollInfo(SB_HORZ, &info);
}

void CTextView::ScrollToLine(int line, BOOL follow)
{
    const int distance = (m_topLine - line) * GetLineHeight();
    SetTopLine(line);
    if (!m_hWnd)
        return;
    ScrollWindow(0, distance);
    UpdateWindow();
    if (follow)
        RecalcVScrollBar(TRUE);
}

void CTextView::ScrollToPos(int offset, BOOL follow)
{
    const int distance = m_horzOffset - offset;
    m_horzOffset = offset;
    if (!m_hWnd)
        return;
    // The margin stays where it is.
    CRect text;
    GetClientRect(&text);
    text.left = GetMarginWidth();
    ScrollWindow(distance, 0, &text, &text);
    UpdateWindow();
    if (follow)
        RecalcHScrollBar(TRUE);
}

void CTextView::OnVScroll(UINT code, UINT pos, CScrollBar* bar)
{
    CView::OnVScroll(code, pos, bar);
    SCROLLINFO info{};
    info.cbSize = sizeof(SCROLLINFO);
    GetScrollInfo(SB_VERT, &info, SIF_ALL);
    const int page = GetClientLines();
    const int lineCount = GetLineCount();
    int top = m_topLine;
    switch (code) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= page; break;
    case SB_PAGEDOWN: top += page; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: top = info.nTrackPos; break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = lineCount - page; break;
    default: return;
    }
    top = std::max(std::min(top, lineCount - page), 0);
    if (top != m_topLine) {
        ScrollToLine(top, TRUE);
        UpdateCaret();
    }
}

BOOL CTextView::OnMouseWheel(UINT, short delta, CPoint)
{
    UINT lines = 3;
    if (!SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    const int top =
        std::clamp(m_topLine - int(lines) * delta / WHEEL_DELTA, 0, std::max(0, GetLineCount() - GetClientLines()));
    if (top != m_topLine) {
        ScrollToLine(top, TRUE);
        UpdateSiblingScrollPos(TRUE);
        UpdateCaret();
    }
    // Handled here: passed on, the wheel would scroll the parent as well.
    return TRUE;
}

void CTextView::SetTopLine(int line)
{
    if (line == m_topLine)
        return;
    m_topLine = line;
    OnTopLineChanged();
}

void CTextView::OnHScroll(UINT code, UINT pos, CScrollBar* bar)
{
    CView::OnHScroll(code, pos, bar);
    SCROLLINFO info{};
    info.cbSize = sizeof(SCROLLINFO);
    GetScrollInfo(SB_HORZ, &info, SIF_ALL);
    const int rightEdge = GetMaxLineExtent() - GetClientWidth() + GetCharWidthA();
    int offset = m_horzOffset;
    switch (code) {
    case SB_LINELEFT: offset -= GetCharWidthA(); break;
    case SB_LINERIGHT: offset += GetCharWidthA(); break;
    case SB_PAGELEFT: offset -= int(info.nPage); break;
    case SB_PAGERIGHT: offset += int(info.nPage); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: offset = info.nTrackPos; break;
    case SB_LEFT: offset = 0; break;
    case SB_RIGHT: offset = rightEdge; break;
    default: return;
    }
    offset = std::max(std::min(offset, std::max(0, rightEdge)), 0);
    if (offset != m_horzOffset) {
        ScrollToPos(offset, TRUE);
        UpdateCaret();
    }
}

void CTextView::EnsureVisible(CPoint pos)
{
    const int lines = GetClientLines();
    int top = m_topLine;
    if (pos.y >= top + lines)
        top = pos.y - lines + 1;
    else if (pos.y < top)
        top = pos.y;
    top = std::clamp(top, 0, GetLineCount() - 1);
    if (top != m_topLine) {
        ScrollToLine(top, TRUE);
        UpdateSiblingScrollPos(TRUE);
    }

    // Sideways, one character of room is left beside the position.
    const int x = CalcTxtOffset(pos);
    const int width = GetClientWidth();
    int offset = m_horzOffset;
    if (x >= offset + width)
        offset = x - width + GetCharWidthA();
    else if (x < offset)
        offset = x - GetCharWidthA();
    offset = std::max(std::min(offset, GetMaxLineExtent()), 0);
    if (offset != m_horzOffset) {
        ScrollToPos(offset, TRUE);
        UpdateSiblingScrollPos(FALSE);
    }
    UpdateCaret();
}

void CTextView::OnSize(UINT type, int cx, int cy)
{
    CView::OnSize(type, cx, cy);
    DelCacheBmp();
    RecalcVScrollBar(FALSE);
    RecalcHScrollBar(FALSE);
}

void CTextView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    // A buffer attached before the initial update stays unless a better one is found.
    CTextBuf* found = LocateTextBuffer();
    AttachToBuffer(found ? found : m_buffer);
    int row = 0, col = 0;
    if (!GetPanePosition(row, col))
        return;
    CTextView* above = row != 0 ? GetSiblingView(0, col) : nullptr;
    if (above && above != this)
        m_horzOffset = above->m_horzOffset;
    CTextView* left = col != 0 ? GetSiblingView(row, 0) : nullptr;
    if (left && left != this)
        SetTopLine(left->m_topLine);
}

bool CTextView::GetPanePosition(int& row, int& col) const
{
    auto* splitter = dynamic_cast<CSplitterWnd*>(GetParent());
    if (!splitter)
        return false;
    const int id = GetDlgCtrlID() - int(AFX_IDW_PANE_FIRST);
    row = id / 16;
    col = id % 16;
    return true;
}

CTextView* CTextView::GetSiblingView(int row, int col) const
{
    auto* splitter = dynamic_cast<CSplitterWnd*>(GetParent());
    if (!splitter || row < 0 || col < 0 || row >= splitter->GetRowCount() || col >= splitter->GetColumnCount())
        return nullptr;
    return dynamic_cast<CTextView*>(splitter->GetPane(row, col));
}

void CTextView::UpdateSiblingScrollPos(BOOL vertical)
{
    auto* splitter = dynamic_cast<CSplitterWnd*>(GetParent());
    int row = 0, col = 0;
    if (!splitter || !GetPanePosition(row, col))
        return;
    if (vertical) {
        for (int c = 0; c < splitter->GetColumnCount(); ++c)
            if (CTextView* view = c != col ? GetSiblingView(row, c) : nullptr)
                view->OnUpdateSibling(this, TRUE);
    } else {
        for (int r = 0; r < splitter->GetRowCount(); ++r)
            if (CTextView* view = r != row ? GetSiblingView(r, col) : nullptr)
                view->OnUpdateSibling(this, FALSE);
    }
}

void CTextView::OnUpdateSibling(CTextView* source, BOOL vertical)
{
    if (!source || source == this)
        return;
    if (vertical) {
        if (source->m_topLine != m_topLine) {
            ScrollToLine(source->m_topLine, FALSE);
            UpdateCaret();
        }
    } else if (source->m_horzOffset != m_horzOffset) {
        ScrollToPos(source->m_horzOffset, FALSE);
        UpdateCaret();
    }
}

int CTextView::DropChangedExtents(int line, int lineCount, bool oneLine, bool oneEdit)
{
    if (m_lineExtents.empty())
        return -1;
    const int oldCount = int(m_lineExtents.size());
    const int delta = lineCount - oldCount;
    // One edit rewrote its first line and inserted or removed whole lines right after
    // it; the lines below only moved, and their widths move with them.
    const int rewritten = oneLine ? 1 : 1 + std::max(0, -delta);
    if (line < 0 || line + rewritten > oldCount || (!oneLine && !oneEdit)) {
        m_lineExtents.resize(std::size_t(lineCount), -1);
        std::fill(m_lineExtents.begin() + std::clamp(line, 0, lineCount), m_lineExtents.end(), -1);
        return -1;
    }
    const auto first = m_lineExtents.begin() + line;
    int dropped = *std::min_element(first, first + rewritten) < 0 ? -1 : *std::max_element(first, first + rewritten);
    if (!oneLine && delta > 0)
        m_lineExtents.insert(first + 1, std::size_t(delta), -1);
    else if (!oneLine && delta < 0)
        m_lineExtents.erase(first + 1, first + 1 - delta);
    m_lineExtents[std::size_t(line)] = -1;
    return dropped;
}

void CTextView::UpdateView(CTextView*, CUpdateContext* context, unsigned long hints, int line)
{
    if (hints & TBU_RESET) {
        ResetView();
        RecalcVScrollBar(FALSE);
        RecalcHScrollBar(FALSE);
        return;
    }
    const int lineCount = GetLineCount();
    const bool oneLine = hints & TBU_ONELINE;
    if (!oneLine)
        line = std::max(line, 0);
    // The widest line stays known unless it was among the lines rewritten; a change
    // without a context is no single edit, and widths from its line on are dropped.
    const int oldWidest = m_maxLineExtent;
    const int oldCount = int(m_lineExtents.size());
    const int dropped = DropChangedExtents(line, lineCount, oneLine, context != nullptr);
    InvalidateLines(line, oneLine ? line : -1, TRUE);

    CPoint top(0, m_topLine);
    if (context)
        for (CPoint* pos : {&m_cursorPos, &m_selStart, &m_selEnd, &m_anchor, &top})
            context->AdjustPoint(*pos);
    // Whatever the change, no position of the view points past the text.
    for (CPoint* pos : {&m_cursorPos, &m_selStart, &m_selEnd, &m_anchor})
        *pos = ClampToText(*pos);
    SetTopLine(std::clamp(int(top.y), 0, lineCount - 1));
    if (context)
        UpdateCaret();

    if ((hints & TBU_LINECOUNT) && !m_vertLocked)
        RecalcVScrollBar(FALSE);
    if (hints & TBU_WIDTH) {
        m_maxLineExtent = -1;
        if (oldWidest >= 0 && dropped >= 0) {
            const int lastRewritten = oneLine ? line : line + std::max(0, lineCount - oldCount);
            int widest = 0;
            for (int at = line; at <= lastRewritten; ++at)
                widest = std::max(widest, GetLineExtent(at));
            if (widest >= oldWidest || dropped < oldWidest)
                m_maxLineExtent = std::max(oldWidest, widest);
        }
        if (!m_horzLocked)
            RecalcHScrollBar(FALSE);
    }
}
