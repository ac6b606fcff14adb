// Text output and measuring of CDC.
#include "zorkit/platform/gdi/DC.h"

#include <algorithm>
#include <utility>
#include <cstring>
#include <string>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/internal/DCState.h"
#include "zorkit/platform/gdi/internal/ScaledFont.h"

namespace {

constexpr const char kEllipsis[] = "...";

int TextLength(LPCTSTR text, int count)
{
    if (!text)
        return 0;
    return count < 0 ? int(std::strlen(text)) : count;
}

// Removes mnemonic prefixes: "&&" stands for "&", a single "&" disappears.
std::string WithoutPrefixes(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        else if (text[i] == '&')
            continue;
        out += text[i];
    }
    return out;
}

std::string TrimmedRight(const std::string& text)
{
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::string ExpandTabs(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '\t')
            out.append(8 - out.size() % 8, ' ');
        else
            out += ch;
    }
    return out;
}

// Length of the first n bytes rounded down to whole GBK characters.
std::size_t WholeCharacters(const std::string& text, std::size_t n)
{
    std::size_t i = 0;
    while (i < n) {
        const auto next = std::size_t(zorkit::NextGbkBoundary(text.data(), int(text.size()), int(i)));
        if (next > n)
            break;
        i = next;
    }
    return i;
}

}

namespace zorkit {

// Lays out and draws one run of text; shared by TextOut, ExtTextOut and DrawText.
class TextRun {
public:
    static CSize Draw(DCState& state, int x, int y, UINT options, const RECT* rect, const char* text, int count,
                      const int* dx)
    {
        auto& attributes = state.attributes;
        ScaledFont& font = attributes.font->Scaled();
        const TEXTMETRIC& metrics = font.Metrics();
        const bool upward = font.Upward();

        std::vector<PlacedGlyph> glyphs;
        int advance = 0;
        for (int i = 0; i < count;) {
            const int start = i;
            Glyph& glyph = font.Next(text, count, i);
            glyphs.push_back(PlacedGlyph{&glyph, CPoint(advance, 0)});
            if (dx) {
                for (int k = start; k < i; ++k)
                    advance += dx[k];
            } else {
                advance += glyph.advance;
            }
        }

        const UINT align = attributes.textAlign;
        if (align & TA_UPDATECP) {
            x = attributes.position.x;
            y = attributes.position.y;
        }
        if ((align & TA_CENTER) == TA_CENTER)
            x -= advance / 2;
        else if (align & TA_RIGHT)
            x -= advance;
        if ((align & TA_BASELINE) == TA_BASELINE)
            y -= metrics.tmAscent;
        else if (align & TA_BOTTOM)
            y -= metrics.tmHeight;
        if (align & TA_UPDATECP)
            attributes.position.x = x + advance;

        // The text cell, and the baseline start, in device pixels.
        const CPoint origin = state.ToDevice(x, y);
        const CRect cell = upward ? CRect(origin.x, origin.y - advance, origin.x + metrics.tmHeight, origin.y)
                                  : CRect(origin.x, origin.y, origin.x + advance, origin.y + metrics.tmHeight);
        const CPoint baseline = upward ? CPoint(origin.x + metrics.tmAscent, origin.y)
                                       : CPoint(origin.x, origin.y + metrics.tmAscent);
        for (PlacedGlyph& placed : glyphs)
            placed.pen = upward ? CPoint(baseline.x, baseline.y - placed.pen.x) : CPoint(baseline.x + placed.pen.x, baseline.y);

        Painter& painter = *state.painter;
        const CRect box = rect ? CRect(state.ToDevice(*rect)) : CRect();
        if ((options & ETO_OPAQUE) && rect)
            painter.Fill(box, attributes.bkColor, RopTable(PATCOPY));
        if (options & ETO_CLIPPED && rect) {
            CRect clip = state.EffectiveClip();
            clip.IntersectRect(&clip, &box);
            painter.SetClip(clip);
        }
        if (attributes.bkMode == OPAQUE && !(options & ETO_OPAQUE))
            painter.Fill(cell, attributes.bkColor, RopTable(PATCOPY));
        painter.Text(font, glyphs, attributes.textColor);
        if (!upward && (metrics.tmUnderlined || metrics.tmStruckOut)) {
            const int thickness = font.UnderlineThickness();
            if (metrics.tmUnderlined) {
                const int top = baseline.y + font.UnderlinePosition() - thickness / 2;
                painter.Fill(CRect(cell.left, top, cell.right, top + thickness), attributes.textColor,
                             RopTable(PATCOPY));
            }
            if (metrics.tmStruckOut) {
                const int top = baseline.y - metrics.tmAscent / 3;
                painter.Fill(CRect(cell.left, top, cell.right, top + thickness), attributes.textColor,
                             RopTable(PATCOPY));
            }
        }
        if (options & ETO_CLIPPED && rect)
            state.ApplyClip();
        return CSize(advance, metrics.tmHeight);
    }
};

}

BOOL CDC::TextOut(int x, int y, LPCTSTR text, int count)
{
    return ExtTextOut(x, y, 0, nullptr, text, UINT(TextLength(text, count)), nullptr);
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCTSTR text, UINT count, const int* dx)
{
    if (!m_state)
        return FALSE;
    const int length = text ? int(count) : 0;
    if (auto* call = m_state->Record(options ? "ExtTextOut" : "TextOut", CRect(x, y, x, y))) {
        call->text.assign(text ? text : "", std::size_t(length));
        call->rop = options;
    }
    zorkit::TextRun::Draw(*m_state, x, y, options, rect, text, length, dx);
    return TRUE;
}

int CDC::DrawText(LPCTSTR text, int count, LPRECT rect, UINT format)
{
    if (!m_state || !rect)
        return 0;
    std::string all(text ? text : "", std::size_t(TextLength(text, count)));
    if (!(format & DT_NOPREFIX))
        all = WithoutPrefixes(all);
    if (format & DT_EXPANDTABS)
        all = ExpandTabs(all);
    zorkit::ScaledFont& font = m_state->attributes.font->Scaled();
    const int lineHeight = int(font.Metrics().tmHeight);
    const int width = rect->right - rect->left;
    auto measure = [&](const std::string& s) { return font.Measure(s.data(), int(s.size())); };

    std::vector<std::string> lines;
    if (format & DT_SINGLELINE) {
        lines.push_back(all);
    } else {
        std::size_t start = 0;
        while (start <= all.size()) {
            std::size_t end = all.find_first_of("\r\n", start);
            const std::string line = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (format & DT_WORDBREAK) {
                // Break at spaces so that each piece fits; a single long word stays whole.
                std::string current;
                std::size_t i = 0;
                while (i < line.size()) {
                    std::size_t next = line.find(' ', i);
                    next = next == std::string::npos ? line.size() : next + 1;
                    const std::string word = line.substr(i, next - i);
                    const std::string candidate = current + word;
                    // Spaces at a break are not drawn, so they need not fit.
                    if (!current.empty() && measure(TrimmedRight(candidate)) > width) {
                        lines.push_back(TrimmedRight(current));
                        current.clear();
                    }
                    current += word;
                    i = next;
                }
                lines.push_back(TrimmedRight(current));
            } else {
                lines.push_back(line);
            }
            if (end == std::string::npos)
                break;
            start = end + (all.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
    }

    if (format & DT_END_ELLIPSIS) {
        for (std::string& line : lines) {
            if (measure(line) <= width)
                continue;
            const int room = width - measure(kEllipsis);
            std::size_t keep = line.size();
            while (keep > 0 && measure(line.substr(0, keep)) > room)
                keep = WholeCharacters(line, keep - 1);
            line = line.substr(0, keep) + kEllipsis;
        }
    }

    int widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, measure(line));
    const int height = lineHeight * int(lines.size());
    if (format & DT_CALCRECT) {
        rect->right = rect->left + widest;
        rect->bottom = rect->top + height;
        return height;
    }

    if (auto* call = m_state->Record("DrawText", *rect)) {
        call->text = all;
        call->rop = format;
    }
    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - lineHeight;
    }
    const UINT options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
    const UINT align = std::exchange(m_state->attributes.textAlign, 0);
    for (const std::string& line : lines) {
        const int lineWidth = measure(line);
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (width - lineWidth) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - lineWidth;
        zorkit::TextRun::Draw(*m_state, x, y, options, rect, line.data(), int(line.size()), nullptr);
        y += lineHeight;
    }
    m_state->attributes.textAlign = align;
    return y - rect->top;
}

CSize CDC::GetTextExtent(LPCTSTR text, int count) const
{
    if (!m_state)
        return CSize();
    zorkit::ScaledFont& font = m_state->attributes.font->Scaled();
    return CSize(font.Measure(text, TextLength(text, count)), int(font.Metrics().tmHeight));
}

BOOL CDC::GetTextMetrics(LPTEXTMETRIC metrics) const
{
    if (!m_state || !metrics)
        return FALSE;
    *metrics = m_state->attributes.font->Scaled().Metrics();
    return TRUE;
}
