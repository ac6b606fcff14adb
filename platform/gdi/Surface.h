// A block of 32-bit pixels (0x00RRGGBB, rows top first, stride = width) held in a Cairo
// RGB24 image surface. Bitmaps and windows draw on surfaces; the on-screen backend
// presents a top-level window's surface as it stands.
//
//   auto surface = zorkit::Surface::Create(580, 340);
//   CDC dc;
//   dc.AttachSurface(surface, CPoint(0, 0), CRect(0, 0, 580, 340));
//   dc.FillSolidRect(0, 0, 580, 340, RGB(210, 210, 210));
//   surface->WritePng("graph.png");
#pragma once

#include <cstdint>
#include <memory>

#include "zorkit/platform/gdi/GdiTypes.h"

namespace zorkit {

class Surface {
public:
    // Null when the size is not positive or memory runs out. The pixels start black.
    static std::shared_ptr<Surface> Create(int width, int height);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    CRect Bounds() const { return CRect(0, 0, m_width, m_height); }
    std::uint32_t* Row(int y) { return m_pixels + std::ptrdiff_t(y) * m_width; }
    const std::uint32_t* Row(int y) const { return m_pixels + std::ptrdiff_t(y) * m_width; }
    std::uint32_t* Pixels() { return m_pixels; }

    // The colour at a pixel as a COLORREF; CLR_INVALID outside the surface.
    COLORREF GetPixel(int x, int y) const;
    BOOL WritePng(const char* path) const;

    // The Cairo surface, for platform code that includes cairo.h.
    void* CairoSurface() const { return m_cairo.get(); }

private:
    Surface() = default;
    // A cairo_surface_t; its owner keeps cairo.h out of this header.
    std::shared_ptr<void> m_cairo;
    std::uint32_t* m_pixels = nullptr;
    int m_width = 0;
    int m_height = 0;
};

// Pixels hold 0x00RRGGBB; COLORREF holds 0x00BBGGRR.
constexpr std::uint32_t PixelFromColor(COLORREF c)
{
    return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF ColorFromPixel(std::uint32_t p) { return RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p)); }

}
