// Draws on PDF pages through Cairo, one device pixel being one printer dot. Raster
// operations other than plain copies are drawn as copies. Private to the platform layer.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "zorkit/platform/gdi/internal/GdiHandles.h"
#include "zorkit/platform/gdi/internal/Painter.h"

namespace zorkit {

class FontFace;

class PdfPainter : public Painter {
public:
    // Check IsOpen: a file that cannot be written leaves the painter closed.
    PdfPainter(const std::string& path, int width, int height, int dotsPerInch);
    ~PdfPainter() override;

    bool IsOpen() const { return m_cairo != nullptr; }
    int DotsPerInch() const { return m_dotsPerInch; }
    void ShowPage();
    // Completes the file; nothing can be drawn afterwards.
    bool Finish();

    bool IsPrinting() const override { return true; }
    CSize Size() const override { return m_size; }
    void SetClip(const CRect& clip) override;
    void Fill(const CRect& rect, COLORREF colour, BYTE ropTable) override;
    void ThinLine(CPoint from, CPoint to, COLORREF colour, int rop2, const std::vector<int>& pattern, int& phase,
                  COLORREF gapColour) override;
    void WideLine(CPoint from, CPoint to, COLORREF colour, int width) override;
    void Text(ScaledFont& font, const std::vector<PlacedGlyph>& glyphs, COLORREF colour) override;
    void Blit(const CRect& dest, const Surface& source, CPoint sourceOrigin, BYTE ropTable,
              COLORREF pattern) override;
    void BlitKeyed(const CRect& dest, const Surface& source, CPoint sourceOrigin, COLORREF key) override;
    COLORREF GetPixel(int, int) const override { return CLR_INVALID; }
    void Scroll(const CRect&, int, int) override {}

private:
    void SetColour(COLORREF colour);
    cairo_font_face_t* FaceFor(const FontFace* face, bool embolden);

    CairoSurfacePtr m_surface;
    CairoPtr m_cairo;
    CSize m_size;
    int m_dotsPerInch = 1200;
    std::map<std::pair<const FontFace*, bool>, CairoFontFacePtr> m_faces;
};

}
