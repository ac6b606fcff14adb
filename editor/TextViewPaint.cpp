// CTextView painting: each visible line is drawn, margin and text, into a bitmap one
// line high and copied to the window in one piece, so that nothing flickers.
#include "zorkit/editor/TextView.h"

#include <algorithm>
#include <iterator>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/module/ResourceIds.h"

namespace {

constexpr int kMarginImageSize = 16;
// Margin images in order of precedence; the index is the image's.
constexpr unsigned long kMarginMarks[] = {LINEMARK_ARROW, LINEMARK_RING, LINEMARK_DOT, LINEMARK_TRIANGLE};

// Where a selection edge falls within a run of count bytes starting at runStart.
int EdgeInRun(CPoint edge, CPoint runStart, int count)
{
    int at = 0;
    if (edge.y > runStart.y)
        at = count;
    else if (edge.y == runStart.y)
        at = edge.x - runStart.x;
    return std::clamp(at, 0, count);
}

}

BOOL CTextView::OnEraseBkgnd(CDC*) { return TRUE; }

void CTextView::OnDraw(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CRect dirty;
    if (client.IsRectEmpty() || dc->GetClipBox(&dirty) == NULLREGION)
        return;
    const int lineCount = GetLineCount();
    const int lineHeight = GetLineHeight();

    CDC memory;
    memory.CreateCompatibleDC(dc);
    if (!m_cacheBitmap) {
        m_cacheBitmap = std::make_unique<CBitmap>();
        if (!m_cacheBitmap->CreateCompatibleBitmap(dc, client.Width(), lineHeight)) {
            m_cacheBitmap.reset();
            return;
        }
    }
    CBitmap* oldBitmap = memory.SelectObject(m_cacheBitmap.get());
    memory.SetBkMode(OPAQUE);
    const CRect marginCell(0, 0, GetMarginWidth(), lineHeight);
    const CRect textCell(GetMarginWidth(), 0, client.Width(), lineHeight);
    // Only the lines that meet the area to repaint are drawn.
    const int first = std::max(0, int(dirty.top) / lineHeight);
    for (int row = first, y = row * lineHeight; y < client.bottom && y < dirty.bottom; ++row, y += lineHeight) {
        const int line = m_topLine + row < lineCount ? m_topLine + row : -1;
        DrawMargin(&memory, marginCell, line);
        DrawSingleLine(&memory, textCell, line);
        dc->BitBlt(0, y, client.Width(), lineHeight, &memory, 0, 0, SRCCOPY);
    }
    memory.SelectObject(oldBitmap);
    memory.DeleteDC();
}

void CTextView::DrawMargin(CDC* dc, const CRect& rect, int line)
{
    if (!m_selMargin) {
        dc->FillSolidRect(&rect, GetColor(1));
        return;
    }
    dc->FillSolidRect(&rect, GetColor(3));
    const unsigned long flags = line >= 0 ? GetLineFlags(line) : 0;
    const auto mark = std::find_if(std::begin(kMarginMarks), std::end(kMarginMarks),
                                   [flags](unsigned long bit) { return (flags & bit) != 0; });
    if (mark == std::end(kMarginMarks))
        return;
    if (!m_marginImages) {
        m_marginImages = std::make_unique<CImageList>();
        if (!m_marginImages->Create(zorkit::IDB_MARGIN_IMAGES, kMarginImageSize, 16, zorkit::kMarginImagesTransparent)) {
            m_marginImages.reset();
            return;
        }
    }
    const CPoint at(rect.left + 2, rect.top + (rect.Height() - kMarginImageSize) / 2);
    m_marginImages->Draw(dc, int(mark - std::begin(kMarginMarks)), at, ILD_TRANSPARENT);
}

void CTextView::GetLineColors(int line, COLORREF& background, COLORREF& text, BOOL& toEdge)
{
    const unsigned long flags = GetLineFlags(line);
    toEdge = TRUE;
    text = RGB(255, 255, 255);
    if (flags & LINEMARK_DOT) {
        background = RGB(255, 0, 0);
    } else if (flags & LINEMARK_TRIANGLE) {
        background = RGB(128, 128, 255);
    } else {
        background = GetColor(1);
        text = GetColor(2);
        toEdge = FALSE;
    }
}

void CTextView::DrawSingleLine(CDC* dc, const CRect& rect, int line)
{
    if (line == -1) {
        dc->FillSolidRect(&rect, GetColor(0));
        return;
    }
    COLORREF background = 0, text = 0;
    BOOL toEdge = FALSE;
    GetLineColors(line, background, text, toEdge);
    const int length = GetLineLength(line);
    const char* chars = GetLineChars(line);
    CRect rest = rect;
    if (length > 0 && chars) {
        dc->SetBkColor(background);
        dc->SetTextColor(text);
        CFont* oldFont = m_font.GetSafeHandle() ? dc->SelectObject(&m_font) : nullptr;
        CPoint origin(rect.left - m_horzOffset, rect.top);
        DrawLineHelper(dc, origin, rect, 2, chars, 0, length, CPoint(0, line));
        if (oldFont)
            dc->SelectObject(oldFont);
        rest.left = std::max(rect.left, origin.x);
    }
    // Past the text: a one-character block where the selection runs over the line end,
    // then the line's background to the edge, or the window's.
    const CPoint end(length > 0 && chars ? length : 0, line);
    if (m_focused && IsSelection() && IsInsideSelection(end) && rest.left < rest.right) {
        CRect block(rest.left, rest.top, std::min(rest.left + GetCharWidthA(), rest.right), rest.bottom);
        dc->FillSolidRect(&block, GetColor(4));
        rest.left = block.right;
    }
    if (rest.left < rest.right)
        dc->FillSolidRect(&rest, toEdge ? background : GetColor(0));
}

void CTextView::DrawLineHelper(CDC* dc, CPoint& origin, const CRect& clip, int, const char* chars, int offset,
                               int count, CPoint textPos)
{
    if (count <= 0)
        return;
    if (!m_focused || !IsSelection()) {
        DrawLineHelperImpl(dc, origin, clip, chars, offset, count);
        return;
    }
    // Positions are bytes, but a character is drawn whole: selected when any of its
    // bytes is.
    CPoint selStart, selEnd;
    GetWholeSelection(selStart, selEnd);
    const int begin = EdgeInRun(selStart, textPos, count);
    const int end = std::max(begin, EdgeInRun(selEnd, textPos, count));
    DrawLineHelperImpl(dc, origin, clip, chars, offset, begin);
    if (begin < end) {
        const COLORREF oldBackground = dc->SetBkColor(GetColor(4));
        const COLORREF oldText = dc->SetTextColor(GetColor(5));
        DrawLineHelperImpl(dc, origin, clip, chars, offset + begin, end - begin);
        dc->SetBkColor(oldBackground);
        dc->SetTextColor(oldText);
    }
    DrawLineHelperImpl(dc, origin, clip, chars, offset + end, count - end);
}

void CTextView::DrawLineHelperImpl(CDC* dc, CPoint& origin, const CRect& clip, const char* chars, int offset,
                                   int count)
{
    if (count <= 0 || clip.right <= origin.x)
        return;
    CString text;
    ExpandChars(chars, text, offset, count);
    dc->ExtTextOut(origin.x, origin.y, ETO_CLIPPED, &clip, text, nullptr);
    origin.x += dc->GetTextExtent(text).cx;
}
