// CTextView layout: font metrics, tab expansion, line widths and the mapping between
// text positions and client coordinates.
//
// Widths are sums of integer glyph advances, so the width of a line is the sum of the
// widths of its pieces. Measuring runs between tabs, and tabs as spaces, gives the
// width of the tab-expanded text without building it.
#include "zorkit/editor/TextView.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "zorkit/platform/core/Gbk.h"

namespace {

// Bytes measured at once while looking for the character under a point.
constexpr int kHitChunk = 64;

int StepCharacter(const char* chars, int length, int index)
{
    if (static_cast<unsigned char>(chars[index]) < 0x80)
        return index + 1;
    return zorkit::NextGbkBoundary(chars, length, index);
}

}

CDC& CTextView::MeasureDC()
{
    if (!m_measureDC) {
        m_measureDC = std::make_unique<CDC>();
        m_measureDC->CreateCompatibleDC(nullptr);
        if (m_font.GetSafeHandle())
            m_measureDC->SelectObject(&m_font);
    }
    return *m_measureDC;
}

void CTextView::CalcLineCharDim()
{
    CSize extent = CalcTxtExtent("X", 1);
    m_lineHeight = std::max(1, int(extent.cy));
    m_charWidth = std::max(1, int(extent.cx));
}

int CTextView::GetLineHeight()
{
    if (m_lineHeight < 0)
        CalcLineCharDim();
    return m_lineHeight;
}

int CTextView::GetCharWidthA()
{
    if (m_charWidth < 0)
        CalcLineCharDim();
    return m_charWidth;
}

int CTextView::GetMarginWidth() const { return m_selMargin ? 20 : 1; }

int CTextView::GetClientWidth()
{
    if (m_clientWidth < 0) {
        CRect client;
        GetClientRect(&client);
        m_clientWidth = std::max(client.Width() - GetMarginWidth(), GetCharWidthA());
    }
    return m_clientWidth;
}

int CTextView::GetClientLines()
{
    if (m_clientLines < 0) {
        CRect client;
        GetClientRect(&client);
        m_clientLines = std::max(1, client.Height() / GetLineHeight());
    }
    return m_clientLines;
}

CSize CTextView::CalcTxtExtent(const char* text, int count)
{
    return MeasureDC().GetTextExtent(text, count);
}

int CTextView::ColumnOf(const char* chars, int offset) const
{
    int column = 0;
    for (int i = 0; i < offset; ++i)
        column += chars[i] == '\t' ? m_tabSize - column % m_tabSize : 1;
    return column;
}

void CTextView::ExpandChars(const char* chars, CString& result, int offset, int count)
{
    if (count <= 0 || !chars) {
        result.Empty();
        return;
    }
    const int startColumn = ColumnOf(chars, offset);
    const char* run = chars + offset;
    const int tabs = int(std::count(run, run + count, '\t'));
    std::string out;
    out.reserve(std::size_t(count) + std::size_t(tabs) * std::size_t(m_tabSize - 1) + 1);
    for (int i = 0; i < count; ++i) {
        if (run[i] == '\t')
            out.append(std::size_t(m_tabSize - (startColumn + int(out.size())) % m_tabSize), ' ');
        else
            out += run[i];
    }
    result = CString(std::move(out));
}

int CTextView::CalcTxtOffsetOfLine(int line, int offset, int* columns)
{
    const char* chars = GetLineChars(line);
    offset = std::clamp(offset, 0, GetLineLength(line));
    if (columns)
        *columns = 0;
    if (!chars || offset == 0)
        return 0;
    CDC& dc = MeasureDC();
    int width = 0;
    int column = 0;
    int spaceWidth = -1;
    for (int start = 0; start < offset;) {
        const char* tab = static_cast<const char*>(std::memchr(chars + start, '\t', std::size_t(offset - start)));
        const int end = tab ? int(tab - chars) : offset;
        if (end > start) {
            width += dc.GetTextExtent(chars + start, end - start).cx;
            column += end - start;
        }
        if (!tab)
            break;
        if (spaceWidth < 0)
            spaceWidth = dc.GetTextExtent(" ", 1).cx;
        const int spaces = m_tabSize - column % m_tabSize;
        width += spaces * spaceWidth;
        column += spaces;
        start = end + 1;
    }
    if (columns)
        *columns = column;
    return width;
}

int CTextView::CalcTxtOffset(CPoint pos, BOOL record)
{
    int columns = 0;
    const int width = pos.y >= 0 && pos.y < GetLineCount() ? CalcTxtOffsetOfLine(pos.y, pos.x, &columns) : 0;
    if (record)
        m_indicatorPos = CPoint(columns, pos.y);
    return width;
}

int CTextView::MeasuredExtent(int line, int lineCount)
{
    if (m_lineExtents.size() != std::size_t(lineCount))
        m_lineExtents.assign(std::size_t(lineCount), -1);
    int& extent = m_lineExtents[std::size_t(line)];
    if (extent < 0)
        extent = CalcTxtOffsetOfLine(line, GetLineLength(line), nullptr);
    return extent;
}

int CTextView::GetLineExtent(int line)
{
    const int count = GetLineCount();
    return line >= 0 && line < count ? MeasuredExtent(line, count) : 0;
}

int CTextView::GetMaxLineExtent()
{
    if (m_maxLineExtent < 0) {
        const int count = GetLineCount();
        int widest = 0;
        for (int line = 0; line < count; ++line)
            widest = std::max(widest, MeasuredExtent(line, count));
        m_maxLineExtent = widest;
    }
    return m_maxLineExtent;
}

CPoint CTextView::TextToClient(const CPoint& pos, BOOL record)
{
    CPoint point((GetMarginWidth() - m_horzOffset), (pos.y - m_topLine) * GetLineHeight());
    if (pos.x != 0)
        point.x += CalcTxtOffset(pos, record);
    else if (record)
        m_indicatorPos = CPoint(0, pos.y);
    return point;
}

CPoint CTextView::ClientToText(const CPoint& point)
{
    const int line = std::clamp(m_topLine + point.y / GetLineHeight(), 0, GetLineCount() - 1);
    const int length = GetLineLength(line);
    const char* chars = GetLineChars(line);
    if (length == 0 || !chars || point.x < GetMarginWidth())
        return CPoint(0, line);
    const int target = m_horzOffset + point.x - GetMarginWidth();

    // Cumulative advances: whole chunks while the target lies beyond them, then one
    // character at a time. A click on a character's left half lands before it, on its
    // right half after it; a double-byte character is never split.
    CDC& dc = MeasureDC();
    const int spaceWidth = dc.GetTextExtent(" ", 1).cx;
    int width = 0;
    int column = 0;
    for (int pos = 0; pos < length;) {
        int end;
        int chunkWidth;
        if (chars[pos] == '\t') {
            end = pos + 1;
            chunkWidth = (m_tabSize - column % m_tabSize) * spaceWidth;
        } else {
            end = pos;
            while (end < length && end - pos < kHitChunk && chars[end] != '\t')
                end = StepCharacter(chars, length, end);
            chunkWidth = dc.GetTextExtent(chars + pos, end - pos).cx;
        }
        if (width + chunkWidth < target) {
            width += chunkWidth;
            column += chars[pos] == '\t' ? m_tabSize - column % m_tabSize : end - pos;
            pos = end;
            continue;
        }
        while (pos < end) {
            const int next = chars[pos] == '\t' ? pos + 1 : StepCharacter(chars, length, pos);
            const int advance = chars[pos] == '\t' ? chunkWidth : dc.GetTextExtent(chars + pos, next - pos).cx;
            const int previous = width;
            width += advance;
            if (width >= target)
                return CPoint(target <= (previous + width) / 2 ? pos : next, line);
            pos = next;
        }
    }
    return CPoint(length, line);
}

void CTextView::InvalidateLines(int first, int last, BOOL withMargin)
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    CRect band(withMargin ? 0 : GetMarginWidth(), (first - m_topLine) * GetLineHeight(), client.right,
               last == -1 ? client.bottom : (last - m_topLine + 1) * GetLineHeight());
    InvalidateRect(&band, FALSE);
}

void CTextView::DelCacheBmp()
{
    m_clientWidth = -1;
    m_clientLines = -1;
    m_cacheBitmap.reset();
}
