#include "tools/zorstudio/ui/SourceView.h"

#include <algorithm>
#include <string_view>

namespace zorstudio {

void CSourceView::SetLanguage(SourceLanguage language)
{
    if (language == m_language)
        return;
    m_language = language;
    m_states.clear();
    if (m_hWnd)
        Invalidate();
}

void CSourceView::UpdateView(CTextView* source, CUpdateContext* context, unsigned long hints, int line)
{
    if (context && onEdit)
        onEdit(*context);
    // An edit can open or close a comment anywhere above what is shown.
    m_states.clear();
    CUIEditView::UpdateView(source, context, hints, line);
    LinesMoved();
}

void CSourceView::OnTopLineChanged() { LinesMoved(); }

void CSourceView::LinesMoved()
{
    if (onLinesMoved)
        onLinesMoved();
}

CLineState CSourceView::StateAt(int line)
{
    if (m_states.empty())
        m_states.push_back({});
    while (int(m_states.size()) <= line) {
        const int above = int(m_states.size()) - 1;
        CLineState state = m_states.back();
        if (above < GetLineCount())
            ColourLine(m_language, std::string_view(GetLineChars(above), std::size_t(GetLineLength(above))), state);
        m_states.push_back(state);
    }
    return m_states[std::size_t(line)];
}

void CSourceView::DrawLineHelper(CDC* dc, CPoint& origin, const CRect& clip, int colorIndex, const char* chars,
                                 int offset, int count, CPoint textPos)
{
    if ((GetLineFlags(textPos.y) & (LINEMARK_DOT | LINEMARK_TRIANGLE)) || count <= 0) {
        CUIEditView::DrawLineHelper(dc, origin, clip, colorIndex, chars, offset, count, textPos);
        return;
    }
    CLineState state = StateAt(textPos.y);
    const int end = offset + count;
    const COLORREF plain = dc->GetTextColor();
    for (const CColourRun& run : ColourLine(m_language, std::string_view(chars, std::size_t(end)), state)) {
        const int from = std::max(run.start, offset), to = std::min(run.start + run.length, end);
        if (from >= to)
            continue;
        dc->SetTextColor(run.kind == TokenKind::Plain ? plain : ColourOf(run.kind));
        CUIEditView::DrawLineHelper(dc, origin, clip, colorIndex, chars, from, to - from, CPoint(textPos.x + from - offset, textPos.y));
    }
    dc->SetTextColor(plain);
}

}
