#include "tools/zorstudio/LineTracker.h"

#include <algorithm>

#include "zorkit/editor/DeleteUpdateContext.h"
#include "zorkit/editor/InsertUpdateContext.h"

namespace zorstudio {

void CLineTracker::Reset(const CTextBuf& text)
{
    m_lines.clear();
    for (int line = 0; line < text.GetLineCount(); ++line) {
        const char* chars = text.GetLineChars(line);
        const int length = text.GetLineLength(line);
        int start = 0;
        while (start < length && (chars[start] == ' ' || chars[start] == '\t'))
            ++start;
        m_lines.push_back({line, start});
    }
}

void CLineTracker::Follow(const CUpdateContext& edit)
{
    if (const auto* insert = dynamic_cast<const CInsertUpdateContext*>(&edit))
        Inserted(insert->m_begin, insert->m_end);
    else if (const auto* removal = dynamic_cast<const CDeleteUpdateContext*>(&edit))
        Deleted(removal->m_begin, removal->m_end);
}

void CLineTracker::Cover(int lines)
{
    if (int(m_lines.size()) < lines)
        m_lines.resize(std::size_t(lines), CLine{-1, 0});
}

void CLineTracker::Inserted(CPoint begin, CPoint end)
{
    if (begin.y < 0 || end.y < begin.y)
        return;
    Cover(begin.y + 1);
    CLine& line = m_lines[std::size_t(begin.y)];
    const int breaks = end.y - begin.y;
    if (breaks == 0) {
        if (begin.x <= line.start)
            line.start += end.x - begin.x;
        return;
    }
    const auto fresh = m_lines.begin() + begin.y + 1;
    if (begin.x > line.start) {
        // Broken within its text: the line stays, what follows the break is new.
        m_lines.insert(fresh, std::size_t(breaks), CLine{-1, 0});
        return;
    }
    // Broken before its text: the text, and the line with it, goes to the last new line.
    const CLine moved{line.origin, end.x + line.start - begin.x};
    line = CLine{-1, 0};
    m_lines.insert(fresh, std::size_t(breaks), CLine{-1, 0});
    m_lines[std::size_t(end.y)] = moved;
}

void CLineTracker::Deleted(CPoint begin, CPoint end)
{
    if (begin.y < 0 || end.y < begin.y)
        return;
    Cover(end.y + 1);
    CLine& first = m_lines[std::size_t(begin.y)];
    if (end.y == begin.y) {
        if (end.x <= first.start)
            first.start -= end.x - begin.x;
        else if (begin.x < first.start)
            first.start = begin.x;
        return;
    }
    // The line left holds the first line's start and the last line's rest: it is the
    // first line while some of its text stays, else the last line moved up.
    const CLine& last = m_lines[std::size_t(end.y)];
    if (first.origin < 0 || begin.x <= first.start)
        first = CLine{last.origin, begin.x + std::max(last.start - end.x, 0)};
    m_lines.erase(m_lines.begin() + begin.y + 1, m_lines.begin() + end.y + 1);
}

std::optional<int> CLineTracker::Now(int line) const
{
    if (line < 0)
        return std::nullopt;
    const auto it = std::find_if(m_lines.begin(), m_lines.end(), [line](const CLine& l) { return l.origin == line; });
    if (it == m_lines.end())
        return std::nullopt;
    return int(it - m_lines.begin());
}

std::optional<int> CLineTracker::Then(int line) const
{
    if (line < 0 || line >= int(m_lines.size()) || m_lines[std::size_t(line)].origin < 0)
        return std::nullopt;
    return m_lines[std::size_t(line)].origin;
}

}
