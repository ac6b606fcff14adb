// Draws on a surface's pixels with GDI's rules. Private to the platform layer.
#pragma once

#include <memory>

#include "zorkit/platform/gdi/internal/Painter.h"

namespace zorkit {

class RasterPainter : public Painter {
public:
    explicit RasterPainter(std::shared_ptr<Surface> surface);

    bool IsPrinting() const override { return false; }
    CSize Size() const override;
    void SetClip(const CRect& clip) override { m_clip = clip; }
    void Fill(const CRect& rect, COLORREF colour, BYTE ropTable) override;
    void ThinLine(CPoint from, CPoint to, COLORREF colour, int rop2, const std::vector<int>& pattern, int& phase,
                  COLORREF gapColour) override;
    void WideLine(CPoint from, CPoint to, COLORREF colour, int width) override;
    void Text(ScaledFont& font, const std::vector<PlacedGlyph>& glyphs, COLORREF colour) override;
    void Blit(const CRect& dest, const Surface& source, CPoint sourceOrigin, BYTE ropTable,
              COLORREF pattern) override;
    void BlitKeyed(const CRect& dest, const Surface& source, CPoint sourceOrigin, COLORREF key) override;
    COLORREF GetPixel(int x, int y) const override;
    void Scroll(const CRect& area, int dx, int dy) override;

private:
    void Plot(int x, int y, std::uint32_t pixel, int rop2);
    // Clips dest to the clip and moves sourceOrigin along; false when nothing is left.
    bool ClipBlit(CRect& dest, const Surface& source, CPoint& sourceOrigin) const;

    std::shared_ptr<Surface> m_surface;
    CRect m_clip;
};

}
