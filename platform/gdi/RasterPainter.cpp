#include "zorkit/platform/gdi/internal/RasterPainter.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "zorkit/platform/gdi/internal/GdiHandles.h"
#include "zorkit/platform/gdi/internal/ScaledFont.h"
#include "zorkit/platform/gdi/Surface.h"

namespace zorkit {
namespace {

constexpr BYTE kPatCopy = RopTable(PATCOPY);
constexpr BYTE kSrcCopy = RopTable(SRCCOPY);

std::uint32_t Blend(std::uint32_t dest, std::uint32_t colour, unsigned alpha)
{
    auto channel = [&](int shift) {
        const unsigned d = (dest >> shift) & 0xFF, c = (colour >> shift) & 0xFF;
        return ((d * (255 - alpha) + c * alpha + 127) / 255) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

}

RasterPainter::RasterPainter(std::shared_ptr<Surface> surface)
    : m_surface(std::move(surface)), m_clip(m_surface->Bounds())
{
}

CSize RasterPainter::Size() const
{
    return CSize(m_surface->Width(), m_surface->Height());
}

void RasterPainter::Plot(int x, int y, std::uint32_t pixel, int rop2)
{
    if (!m_clip.PtInRect(CPoint(x, y)))
        return;
    std::uint32_t& dest = m_surface->Row(y)[x];
    dest = rop2 == R2_COPYPEN ? pixel : ApplyRop2(rop2, pixel, dest);
}

void RasterPainter::Fill(const CRect& rect, COLORREF colour, BYTE ropTable)
{
    CRect r;
    if (!r.IntersectRect(&rect, &m_clip))
        return;
    const std::uint32_t pixel = PixelFromColor(colour);
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint32_t* row = m_surface->Row(y);
        if (ropTable == kPatCopy)
            std::fill(row + r.left, row + r.right, pixel);
        else
            for (int x = r.left; x < r.right; ++x)
                row[x] = ApplyRop3(ropTable, pixel, 0, row[x]);
    }
}

void RasterPainter::ThinLine(CPoint from, CPoint to, COLORREF colour, int rop2, const std::vector<int>& pattern,
                             int& phase, COLORREF gapColour)
{
    const std::uint32_t pixel = PixelFromColor(colour);
    const std::uint32_t gap = PixelFromColor(gapColour);
    int period = 0;
    for (int run : pattern)
        period += run;
    // Bresenham from `from`, stopping before `to`. The error term has a closed form, so
    // the steps outside the clip along the major axis are skipped, not walked.
    const std::int64_t dx = std::abs(to.x - from.x), dy = std::abs(to.y - from.y);
    const int sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    const bool xMajor = dx > dy;
    const std::int64_t steps = xMajor ? dx : dy;
    const int phase0 = phase;
    phase = int((phase0 + steps) % std::max(period, 1));
    if (steps == 0)
        return;
    const int start = xMajor ? from.x : from.y;
    const int direction = xMajor ? sx : sy;
    const int low = xMajor ? m_clip.left : m_clip.top;
    const int high = xMajor ? m_clip.right : m_clip.bottom;
    std::int64_t first = direction > 0 ? std::int64_t(low) - start : std::int64_t(start) - (high - 1);
    std::int64_t last = direction > 0 ? std::int64_t(high) - start : std::int64_t(start) - low + 1;
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, steps);
    if (first >= last)
        return;
    auto mod = [](std::int64_t a, std::int64_t m) { return ((a % m) + m) % m; };
    std::int64_t x, y, error;
    if (xMajor) {
        // error stays in [0, dx): it is (dx / 2 - k dy) mod dx after k steps.
        const std::int64_t e0 = dx / 2;
        error = mod(e0 - first * dy, dx);
        x = from.x + sx * first;
        y = from.y + sy * ((error - e0 + first * dy) / dx);
    } else {
        // error stays in (-dy, 0]: it is (-dy / 2 + k dx) taken into that window.
        const std::int64_t e0 = -(dy / 2);
        error = -mod(-(e0 + first * dx), dy);
        y = from.y + sy * first;
        x = from.x + sx * ((e0 + first * dx - error) / dy);
    }
    for (std::int64_t i = first; i < last; ++i) {
        bool on = true;
        if (period > 0) {
            int position = int((phase0 + i) % period);
            for (std::size_t run = 0; run < pattern.size(); ++run) {
                if (position < pattern[run]) {
                    on = run % 2 == 0;
                    break;
                }
                position -= pattern[run];
            }
        }
        if (on)
            Plot(int(x), int(y), pixel, rop2);
        else if (gapColour != CLR_INVALID)
            Plot(int(x), int(y), gap, rop2);
        const std::int64_t e = error;
        if (e > -dx) {
            error -= dy;
            x += sx;
        }
        if (e < dy) {
            error += dx;
            y += sy;
        }
    }
}

void RasterPainter::WideLine(CPoint from, CPoint to, COLORREF colour, int width)
{
    auto* surface = static_cast<cairo_surface_t*>(m_surface->CairoSurface());
    cairo_surface_mark_dirty(surface);
    CairoPtr cr(cairo_create(surface));
    cairo_rectangle(cr.get(), m_clip.left, m_clip.top, m_clip.Width(), m_clip.Height());
    cairo_clip(cr.get());
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgb(cr.get(), GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0);
    cairo_set_line_width(cr.get(), width);
    cairo_set_line_cap(cr.get(), CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr.get(), from.x + 0.5, from.y + 0.5);
    cairo_line_to(cr.get(), to.x + 0.5, to.y + 0.5);
    cairo_stroke(cr.get());
    cr.reset();
    cairo_surface_flush(surface);
}

void RasterPainter::Text(ScaledFont& font, const std::vector<PlacedGlyph>& glyphs, COLORREF colour)
{
    const std::uint32_t pixel = PixelFromColor(colour);
    const bool upward = font.Upward();
    // Blends by coverage, each for the last background it was made for. Blend reads
    // only a pixel's colour bits, so a background with other bits set never matches.
    constexpr std::uint32_t kNone = 0xFFFFFFFF;
    std::array<std::uint32_t, 256> blendedOver;
    std::array<std::uint32_t, 256> blended;
    blendedOver.fill(kNone);
    for (const PlacedGlyph& placed : glyphs) {
        const Glyph& glyph = font.Rendered(*placed.glyph);
        if (glyph.coverage.empty())
            continue;
        // Coverage (column, row) lies at u = left + column along the text and v = row - top
        // below its baseline; upward text turns that a quarter left: (u, v) -> (v, -u).
        const CPoint pen = placed.pen;
        const CRect box = upward ? CRect(pen.x - glyph.top, pen.y - glyph.left - glyph.width + 1,
                                         pen.x - glyph.top + glyph.rows, pen.y - glyph.left + 1)
                                 : CRect(pen.x + glyph.left, pen.y - glyph.top, pen.x + glyph.left + glyph.width,
                                         pen.y - glyph.top + glyph.rows);
        CRect visible;
        if (!visible.IntersectRect(&box, &m_clip))
            continue;
        if (!upward) {
            // Text along its baseline: one coverage row per surface row. Text mostly lies
            // on one background.
            const int width = visible.Width();
            const int column0 = visible.left - pen.x - glyph.left;
            const int line0 = visible.top - pen.y + glyph.top;
            // The glyph blended over the pixel at its box's corner is kept in the glyph; each
            // pixel still equal to that one takes it from there, any other is blended here.
            const std::uint32_t background = m_surface->Row(visible.top)[visible.left];
            Glyph& kept = *placed.glyph;
            if (kept.tinted.empty() || kept.tintPixel != pixel || kept.tintBackground != background) {
                kept.tinted.resize(kept.coverage.size());
                for (std::size_t k = 0; k < kept.coverage.size(); ++k) {
                    const unsigned alpha = kept.coverage[k];
                    kept.tinted[k] = !alpha ? background
                                   : alpha == 255 ? pixel
                                                  : Blend(background, pixel, alpha);
                }
                kept.tintPixel = pixel;
                kept.tintBackground = background;
            }
            for (int y = visible.top; y < visible.bottom; ++y) {
                const std::size_t offset = std::size_t(line0 + y - visible.top) * glyph.width + column0;
                const std::uint8_t* cover = glyph.coverage.data() + offset;
                const std::uint32_t* tint = kept.tinted.data() + offset;
                std::uint32_t* row = m_surface->Row(y) + visible.left;
                for (int i = 0; i < width; ++i) {
                    const std::uint32_t dest = row[i];
                    if (dest == background) {
                        row[i] = tint[i];
                        continue;
                    }
                    const unsigned alpha = cover[i];
                    if (!alpha)
                        continue;
                    if (alpha == 255) {
                        row[i] = pixel;
                        continue;
                    }
                    const std::uint32_t under = dest & 0x00FFFFFF;
                    if (blendedOver[alpha] != under) {
                        blendedOver[alpha] = under;
                        blended[alpha] = Blend(under, pixel, alpha);
                    }
                    row[i] = blended[alpha];
                }
            }
            continue;
        }
        for (int y = visible.top; y < visible.bottom; ++y) {
            std::uint32_t* row = m_surface->Row(y);
            for (int x = visible.left; x < visible.right; ++x) {
                const int column = upward ? pen.y - y - glyph.left : x - pen.x - glyph.left;
                const int line = upward ? x - pen.x + glyph.top : y - pen.y + glyph.top;
                const unsigned alpha = glyph.coverage[std::size_t(line) * glyph.width + column];
                if (alpha)
                    row[x] = alpha == 255 ? pixel : Blend(row[x], pixel, alpha);
            }
        }
    }
}

bool RasterPainter::ClipBlit(CRect& dest, const Surface& source, CPoint& sourceOrigin) const
{
    // Keep to the source: a destination pixel with no source pixel is left alone.
    CRect fromSource(dest.left - sourceOrigin.x, dest.top - sourceOrigin.y,
                     dest.left - sourceOrigin.x + source.Width(), dest.top - sourceOrigin.y + source.Height());
    CRect clipped;
    if (!clipped.IntersectRect(&dest, &m_clip) || !clipped.IntersectRect(&clipped, &fromSource))
        return false;
    sourceOrigin.Offset(clipped.left - dest.left, clipped.top - dest.top);
    dest = clipped;
    return true;
}

void RasterPainter::Blit(const CRect& destRect, const Surface& source, CPoint sourceOrigin, BYTE ropTable,
                         COLORREF pattern)
{
    CRect dest = destRect;
    if (!ClipBlit(dest, source, sourceOrigin))
        return;
    const std::uint32_t patternPixel = PixelFromColor(pattern);
    const bool same = &source == m_surface.get();
    for (int i = 0; i < dest.Height(); ++i) {
        // Within one surface, copy rows in the order that never reads a row already written.
        const bool upward = same && dest.top > sourceOrigin.y;
        const int row = upward ? dest.Height() - 1 - i : i;
        const std::uint32_t* from = source.Row(sourceOrigin.y + row) + sourceOrigin.x;
        std::uint32_t* to = m_surface->Row(dest.top + row) + dest.left;
        if (ropTable == kSrcCopy) {
            std::memmove(to, from, std::size_t(dest.Width()) * 4);
            continue;
        }
        if (same && to > from) {
            for (int x = dest.Width() - 1; x >= 0; --x)
                to[x] = ApplyRop3(ropTable, patternPixel, from[x], to[x]);
        } else {
            for (int x = 0; x < dest.Width(); ++x)
                to[x] = ApplyRop3(ropTable, patternPixel, from[x], to[x]);
        }
    }
}

void RasterPainter::BlitKeyed(const CRect& destRect, const Surface& source, CPoint sourceOrigin, COLORREF key)
{
    CRect dest = destRect;
    if (!ClipBlit(dest, source, sourceOrigin))
        return;
    const std::uint32_t keyPixel = PixelFromColor(key);
    for (int row = 0; row < dest.Height(); ++row) {
        const std::uint32_t* from = source.Row(sourceOrigin.y + row) + sourceOrigin.x;
        std::uint32_t* to = m_surface->Row(dest.top + row) + dest.left;
        for (int x = 0; x < dest.Width(); ++x)
            if ((from[x] & 0xFFFFFF) != keyPixel)
                to[x] = from[x];
    }
}

COLORREF RasterPainter::GetPixel(int x, int y) const
{
    return m_clip.PtInRect(CPoint(x, y)) ? m_surface->GetPixel(x, y) : CLR_INVALID;
}

void RasterPainter::Scroll(const CRect& area, int dx, int dy)
{
    // The pixels of the area move wherever the clip lets them land, outside the area
    // too: a grid scrolls the rows below a heading up to the heading's edge that way.
    CRect dest = area;
    dest.OffsetRect(dx, dy);
    if (!dest.IntersectRect(&dest, &m_clip))
        return;
    Blit(dest, *m_surface, CPoint(dest.left - dx, dest.top - dy), kSrcCopy, 0);
}

}
