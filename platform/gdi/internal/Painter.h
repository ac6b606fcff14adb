// What a device context draws with: primitives in device pixels inside a clip rectangle.
// One implementation works on a surface's pixels, one on a PDF page. Private to the
// platform layer.
#pragma once

#include <vector>

#include "zorkit/platform/gdi/GdiTypes.h"

namespace zorkit {

class Surface;
class ScaledFont;
struct Glyph;

// A glyph at its pen position on the baseline, in device pixels.
struct PlacedGlyph {
    Glyph* glyph;
    CPoint pen;
};

// Raster operation codes: a ROP2 code less 1 is a truth table over (pen, dest) with bit
// index 2 * pen + dest; the third byte of a ternary code is one over (pattern, source,
// dest) with bit index 4 * pattern + 2 * source + dest. Both act on each bit.
inline std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t dest)
{
    const unsigned table = unsigned(rop2 - 1) & 0xF;
    std::uint32_t out = 0;
    if (table & 1) out |= ~pen & ~dest;
    if (table & 2) out |= ~pen & dest;
    if (table & 4) out |= pen & ~dest;
    if (table & 8) out |= pen & dest;
    return out & 0xFFFFFF;
}

inline std::uint32_t ApplyRop3(BYTE table, std::uint32_t pattern, std::uint32_t source, std::uint32_t dest)
{
    std::uint32_t out = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (!(table & (1 << bit)))
            continue;
        out |= ((bit & 4) ? pattern : ~pattern) & ((bit & 2) ? source : ~source) & ((bit & 1) ? dest : ~dest);
    }
    return out & 0xFFFFFF;
}

constexpr BYTE RopTable(DWORD rop) { return BYTE((rop >> 16) & 0xFF); }

class Painter {
public:
    virtual ~Painter() = default;
    virtual bool IsPrinting() const = 0;
    virtual CSize Size() const = 0;
    // All drawing stays inside clip (device pixels, within Size).
    virtual void SetClip(const CRect& clip) = 0;
    // Each pixel of rect becomes rop(pattern = colour, dest).
    virtual void Fill(const CRect& rect, COLORREF colour, BYTE ropTable) = 0;
    // A 1-pixel line from `from` to `to`, the last pixel excluded. pattern[] holds run
    // lengths alternating on and off (empty: solid); phase is the position within the
    // pattern and moves on with the line. Off pixels get gapColour unless it is CLR_INVALID.
    virtual void ThinLine(CPoint from, CPoint to, COLORREF colour, int rop2, const std::vector<int>& pattern,
                          int& phase, COLORREF gapColour) = 0;
    // A solid line of the given width, centred on the thin line, with round ends.
    virtual void WideLine(CPoint from, CPoint to, COLORREF colour, int width) = 0;
    virtual void Text(ScaledFont& font, const std::vector<PlacedGlyph>& glyphs, COLORREF colour) = 0;
    // Each pixel of dest becomes rop(pattern, source pixel, dest) for the source pixel at
    // the same offset from sourceOrigin.
    virtual void Blit(const CRect& dest, const Surface& source, CPoint sourceOrigin, BYTE ropTable,
                      COLORREF pattern) = 0;
    // Copies the source pixels that are not of colour key.
    virtual void BlitKeyed(const CRect& dest, const Surface& source, CPoint sourceOrigin, COLORREF key) = 0;
    virtual COLORREF GetPixel(int x, int y) const = 0;
    // Moves the pixels of area by (dx, dy), keeping to area and the clip.
    virtual void Scroll(const CRect& area, int dx, int dy) = 0;
};

}
