// Drawing primitives of CDC: lines, rectangles, fills, edges, blits and scrolling.
#include "zorkit/platform/gdi/DC.h"

#include <algorithm>
#include <utility>

#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/internal/DCState.h"
#include "zorkit/platform/gdi/SystemSettings.h"

using zorkit::DCState;
using zorkit::Normalized;

namespace {

// Run lengths (on, off, ...) of the cosmetic pen styles.
const std::vector<int>& StylePattern(UINT style)
{
    static const std::vector<int> patterns[] = {
        {}, {18, 6}, {1, 1}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3},
    };
    return style <= UINT(PS_DASHDOTDOT) ? patterns[style] : patterns[0];
}

}

CPoint CDC::MoveTo(int x, int y)
{
    if (!m_state)
        return CPoint();
    m_state->stylePhase = 0;
    return std::exchange(m_state->attributes.position, CPoint(x, y));
}

CPoint CDC::GetCurrentPosition() const { return m_state ? m_state->attributes.position : CPoint(); }

BOOL CDC::LineTo(int x, int y)
{
    if (!m_state)
        return FALSE;
    auto& attributes = m_state->attributes;
    const CPoint from = attributes.position;
    attributes.position = CPoint(x, y);
    m_state->Record("LineTo", CRect(from.x, from.y, x, y));
    const LOGPEN& pen = attributes.pen->pen;
    if (attributes.pen->IsNull())
        return TRUE;
    const CPoint a = m_state->ToDevice(from.x, from.y), b = m_state->ToDevice(x, y);
    const int width = attributes.pen->Width();
    if (width > 1) {
        m_state->painter->WideLine(a, b, pen.lopnColor, width);
        return TRUE;
    }
    const auto& pattern = StylePattern(pen.lopnStyle);
    // An opaque background fills the gaps of a styled line.
    const COLORREF gap = attributes.bkMode == OPAQUE && !pattern.empty() ? attributes.bkColor : CLR_INVALID;
    m_state->painter->ThinLine(a, b, pen.lopnColor, attributes.rop2, pattern, m_state->stylePhase, gap);
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count)
{
    if (!m_state || !points || count < 2)
        return FALSE;
    const CPoint saved = MoveTo(points[0]);
    for (int i = 1; i < count; ++i)
        LineTo(points[i]);
    m_state->attributes.position = saved;
    return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom)
{
    if (!m_state)
        return FALSE;
    CRect r = Normalized(CRect(left, top, right, bottom));
    m_state->Record("Rectangle", r);
    const bool recording = std::exchange(m_state->recording, false);
    auto& attributes = m_state->attributes;
    const auto pen = attributes.pen;
    const auto brush = attributes.brush;
    const int width = pen->Width();
    if (pen->pen.lopnStyle == UINT(PS_INSIDEFRAME) && width > 1) {
        r.DeflateRect(width / 2, width / 2);
        r.right += width / 2 - (width - 1) / 2;
        r.bottom += width / 2 - (width - 1) / 2;
    }
    // The thin outline runs through left..right-1 and top..bottom-1; a wide pen is
    // centred on it, and the brush fills what the pen leaves inside.
    const int before = width / 2;
    const int after = width - before;
    const CRect outline(r.left, r.top, r.right - 1, r.bottom - 1);
    if (!brush->IsNull()) {
        CRect inside = pen->IsNull() ? outline : CRect(outline.left + after, outline.top + after,
                                                         outline.right - before, outline.bottom - before);
        if (!inside.IsRectEmpty())
            m_state->painter->Fill(m_state->ToDevice(inside), brush->brush.lbColor, zorkit::RopTable(PATCOPY));
    }
    if (!pen->IsNull() && outline.right >= outline.left && outline.bottom >= outline.top) {
        if (width > 1) {
            const COLORREF colour = pen->pen.lopnColor;
            const BYTE copy = zorkit::RopTable(PATCOPY);
            const CRect outer(outline.left - before, outline.top - before, outline.right + after, outline.bottom + after);
            const CRect inner(outline.left + after, outline.top + after, outline.right - before, outline.bottom - before);
            auto fill = [&](int l, int t, int rr, int b) {
                m_state->painter->Fill(m_state->ToDevice(CRect(l, t, rr, b)), colour, copy);
            };
            fill(outer.left, outer.top, outer.right, inner.top);
            fill(outer.left, inner.bottom, outer.right, outer.bottom);
            fill(outer.left, inner.top, inner.left, inner.bottom);
            fill(inner.right, inner.top, outer.right, inner.bottom);
        } else {
            const CPoint saved = attributes.position;
            MoveTo(outline.left, outline.top);
            LineTo(outline.right, outline.top);
            LineTo(outline.right, outline.bottom);
            LineTo(outline.left, outline.bottom);
            LineTo(outline.left, outline.top);
            attributes.position = saved;
        }
    }
    m_state->recording = recording;
    return TRUE;
}

void CDC::FillRect(LPCRECT rect, CBrush* brush)
{
    if (!m_state || !rect || !brush || !brush->GetSafeHandle())
        return;
    LOGBRUSH logBrush{};
    brush->GetLogBrush(&logBrush);
    if (auto* call = m_state->Record("FillRect", *rect))
        call->brushColor = logBrush.lbStyle == BS_NULL ? CLR_INVALID : logBrush.lbColor;
    if (logBrush.lbStyle != BS_NULL)
        m_state->painter->Fill(Normalized(m_state->ToDevice(*rect)), logBrush.lbColor, zorkit::RopTable(PATCOPY));
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF colour)
{
    if (!m_state || !rect)
        return;
    // The background colour stays set to the fill colour, as callers of the framework expect.
    m_state->attributes.bkColor = colour;
    if (auto* call = m_state->Record("FillSolidRect", Normalized(*rect)))
        call->brushColor = colour;
    m_state->painter->Fill(Normalized(m_state->ToDevice(*rect)), colour, zorkit::RopTable(PATCOPY));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour)
{
    const CRect rect(x, y, x + cx, y + cy);
    FillSolidRect(&rect, colour);
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush)
{
    if (!m_state || !rect || !brush)
        return;
    const CRect r = Normalized(*rect);
    if (r.IsRectEmpty())
        return;
    const bool recording = std::exchange(m_state->recording, false);
    const CRect sides[] = {{r.left, r.top, r.right, r.top + 1},
                           {r.left, r.bottom - 1, r.right, r.bottom},
                           {r.left, r.top + 1, r.left + 1, r.bottom - 1},
                           {r.right - 1, r.top + 1, r.right, r.bottom - 1}};
    for (const CRect& side : sides)
        FillRect(&side, brush);
    m_state->recording = recording;
    m_state->Record("FrameRect", r);
}

void CDC::InvertRect(LPCRECT rect)
{
    if (!m_state || !rect)
        return;
    m_state->Record("InvertRect", Normalized(*rect));
    m_state->painter->Fill(Normalized(m_state->ToDevice(*rect)), 0, zorkit::RopTable(DSTINVERT));
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight)
{
    Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    if (!m_state)
        return;
    const COLORREF bk = m_state->attributes.bkColor;
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx, y, -1, cy, bottomRight);
    FillSolidRect(x, y + cy, cx, -1, bottomRight);
    m_state->attributes.bkColor = bk;
}

BOOL CDC::DrawEdge(LPRECT rect, UINT edge, UINT flags)
{
    if (!m_state || !rect)
        return FALSE;
    // (top-left, bottom-right) system colours of each border, outer one first.
    struct Border {
        UINT bit;
        int topLeft;
        int bottomRight;
    };
    static const Border outer[] = {{BDR_RAISEDOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW},
                                   {BDR_SUNKENOUTER, COLOR_3DSHADOW, COLOR_3DHILIGHT}};
    static const Border inner[] = {{BDR_RAISEDINNER, COLOR_3DHILIGHT, COLOR_3DSHADOW},
                                   {BDR_SUNKENINNER, COLOR_3DDKSHADOW, COLOR_3DLIGHT}};
    m_state->Record("DrawEdge", *rect);
    const bool recording = std::exchange(m_state->recording, false);
    const COLORREF bk = m_state->attributes.bkColor;
    CRect r(*rect);
    for (const auto* ring : {outer, inner}) {
        const Border* border = (edge & ring[0].bit) ? &ring[0] : (edge & ring[1].bit) ? &ring[1] : nullptr;
        if (!border)
            continue;
        const COLORREF tl = GetSysColor(border->topLeft), br = GetSysColor(border->bottomRight);
        if (flags & BF_TOP)
            FillSolidRect(r.left, r.top, r.Width() - 1, 1, tl);
        if (flags & BF_LEFT)
            FillSolidRect(r.left, r.top, 1, r.Height() - 1, tl);
        if (flags & BF_RIGHT)
            FillSolidRect(r.right - 1, r.top, 1, r.Height(), br);
        if (flags & BF_BOTTOM)
            FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, br);
        r.left += (flags & BF_LEFT) ? 1 : 0;
        r.top += (flags & BF_TOP) ? 1 : 0;
        r.right -= (flags & BF_RIGHT) ? 1 : 0;
        r.bottom -= (flags & BF_BOTTOM) ? 1 : 0;
    }
    if (flags & BF_MIDDLE)
        FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
    if (flags & BF_ADJUST)
        *rect = r;
    m_state->attributes.bkColor = bk;
    m_state->recording = recording;
    return TRUE;
}

void CDC::DrawFocusRect(LPCRECT rect)
{
    if (!m_state || !rect)
        return;
    const CRect r = Normalized(*rect);
    m_state->Record("DrawFocusRect", r);
    const BYTE invert = zorkit::RopTable(DSTINVERT);
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            m_state->painter->Fill(m_state->ToDevice(CRect(x, y, x + 1, y + 1)), 0, invert);
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        if (r.bottom - 1 > r.top)
            dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        dot(r.left, y);
        if (r.right - 1 > r.left)
            dot(r.right - 1, y);
    }
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop)
{
    if (!m_state)
        return FALSE;
    const CRect r = Normalized(CRect(x, y, x + width, y + height));
    if (auto* call = m_state->Record("PatBlt", r))
        call->rop = rop;
    const auto& brush = m_state->attributes.brush;
    const BYTE table = zorkit::RopTable(rop);
    const bool usesPattern = ((table >> 4) & 0x0F) != (table & 0x0F);
    if (usesPattern && brush->IsNull())
        return TRUE;
    m_state->painter->Fill(m_state->ToDevice(r), brush->brush.lbColor, table);
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop)
{
    if (!m_state)
        return FALSE;
    const BYTE table = zorkit::RopTable(rop);
    const bool usesSource = ((table >> 2) & 0x33) != (table & 0x33);
    if (!usesSource)
        return PatBlt(x, y, width, height, rop);
    if (!source || !source->m_state || !source->m_state->surface || width < 0 || height < 0)
        return FALSE;
    if (auto* call = m_state->Record("BitBlt", CRect(x, y, x + width, y + height)))
        call->rop = rop;
    const CRect dest(m_state->ToDevice(x, y), CSize(width, height));
    const auto& brush = m_state->attributes.brush;
    m_state->painter->Blit(dest, *source->m_state->surface, source->m_state->ToDevice(xSrc, ySrc), table,
                           brush->IsNull() ? 0 : brush->brush.lbColor);
    return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour)
{
    if (!m_state)
        return CLR_INVALID;
    const CPoint p = m_state->ToDevice(x, y);
    if (!m_state->EffectiveClip().PtInRect(p))
        return CLR_INVALID;
    m_state->Record("SetPixel", CRect(x, y, x + 1, y + 1));
    m_state->painter->Fill(CRect(p.x, p.y, p.x + 1, p.y + 1), colour, zorkit::RopTable(PATCOPY));
    return colour;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    if (!m_state)
        return CLR_INVALID;
    const CPoint p = m_state->ToDevice(x, y);
    return m_state->painter->GetPixel(p.x, p.y);
}

BOOL CDC::ScrollDC(int dx, int dy, LPCRECT scroll, LPCRECT clip, LPRECT update)
{
    if (!m_state || m_state->painter->IsPrinting())
        return FALSE;
    const CRect area = scroll ? Normalized(m_state->ToDevice(*scroll)) : m_state->EffectiveClip();
    CRect limit = m_state->EffectiveClip();
    if (clip)
        limit.IntersectRect(&limit, Normalized(m_state->ToDevice(*clip)));
    m_state->Record("ScrollDC", m_state->ToLogical(area));
    m_state->painter->SetClip(limit);
    m_state->painter->Scroll(area, dx, dy);
    m_state->ApplyClip();
    if (update) {
        // The part of the area that nothing moved into.
        CRect left = area;
        if (dx > 0)
            left.right = std::min(area.right, area.left + dx);
        else if (dx < 0)
            left.left = std::max(area.left, area.right + dx);
        CRect top = area;
        if (dy > 0)
            top.bottom = std::min(area.bottom, area.top + dy);
        else if (dy < 0)
            top.top = std::max(area.top, area.bottom + dy);
        CRect bounds;
        bounds.UnionRect(dx ? &left : &bounds, dy ? &top : &bounds);
        bounds.IntersectRect(&bounds, &limit);
        *update = bounds.IsRectEmpty() ? CRect() : m_state->ToLogical(bounds);
    }
    return TRUE;
}

