#include "zorkit/platform/gdi/internal/PdfPainter.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>

#include <algorithm>
#include <cstdlib>

#include "zorkit/platform/gdi/internal/ScaledFont.h"
#include "zorkit/platform/gdi/Surface.h"

namespace zorkit {

PdfPainter::PdfPainter(const std::string& path, int width, int height, int dotsPerInch)
    : m_size(width, height), m_dotsPerInch(dotsPerInch)
{
    const double points = 72.0 / dotsPerInch;
    CairoSurfacePtr surface(cairo_pdf_surface_create(path.c_str(), width * points, height * points));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return;
    m_surface = std::move(surface);
    m_cairo.reset(cairo_create(m_surface.get()));
    cairo_scale(m_cairo.get(), points, points);
}

PdfPainter::~PdfPainter()
{
    Finish();
}

void PdfPainter::ShowPage()
{
    if (m_cairo)
        cairo_show_page(m_cairo.get());
}

bool PdfPainter::Finish()
{
    if (!m_cairo)
        return false;
    m_cairo.reset();
    cairo_surface_finish(m_surface.get());
    const bool ok = cairo_surface_status(m_surface.get()) == CAIRO_STATUS_SUCCESS;
    m_surface.reset();
    m_faces.clear();
    return ok;
}

void PdfPainter::SetClip(const CRect& clip)
{
    if (!m_cairo)
        return;
    cairo_reset_clip(m_cairo.get());
    cairo_rectangle(m_cairo.get(), clip.left, clip.top, clip.Width(), clip.Height());
    cairo_clip(m_cairo.get());
}

void PdfPainter::SetColour(COLORREF colour)
{
    cairo_set_source_rgb(m_cairo.get(), GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0);
}

void PdfPainter::Fill(const CRect& rect, COLORREF colour, BYTE ropTable)
{
    if (!m_cairo || rect.IsRectEmpty())
        return;
    if (ropTable == RopTable(BLACKNESS))
        colour = RGB(0, 0, 0);
    else if (ropTable == RopTable(WHITENESS))
        colour = RGB(255, 255, 255);
    else if (ropTable != RopTable(PATCOPY))
        return;  // paper cannot be inverted
    SetColour(colour);
    cairo_rectangle(m_cairo.get(), rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(m_cairo.get());
}

void PdfPainter::ThinLine(CPoint from, CPoint to, COLORREF colour, int, const std::vector<int>& pattern, int& phase,
                          COLORREF)
{
    if (!m_cairo)
        return;
    SetColour(colour);
    cairo_set_line_width(m_cairo.get(), 1.0);
    cairo_set_line_cap(m_cairo.get(), CAIRO_LINE_CAP_BUTT);
    std::vector<double> dashes(pattern.begin(), pattern.end());
    cairo_set_dash(m_cairo.get(), dashes.data(), int(dashes.size()), phase);
    cairo_move_to(m_cairo.get(), from.x + 0.5, from.y + 0.5);
    cairo_line_to(m_cairo.get(), to.x + 0.5, to.y + 0.5);
    cairo_stroke(m_cairo.get());
    cairo_set_dash(m_cairo.get(), nullptr, 0, 0);
    phase += std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
}

void PdfPainter::WideLine(CPoint from, CPoint to, COLORREF colour, int width)
{
    if (!m_cairo)
        return;
    SetColour(colour);
    cairo_set_line_width(m_cairo.get(), width);
    cairo_set_line_cap(m_cairo.get(), CAIRO_LINE_CAP_ROUND);
    cairo_move_to(m_cairo.get(), from.x + 0.5, from.y + 0.5);
    cairo_line_to(m_cairo.get(), to.x + 0.5, to.y + 0.5);
    cairo_stroke(m_cairo.get());
}

cairo_font_face_t* PdfPainter::FaceFor(const FontFace* face, bool embolden)
{
    auto& slot = m_faces[{face, embolden}];
    if (!slot) {
        // Cairo opens the file itself: it resizes the faces it uses, which must not be ours.
        FcPatternPtr pattern(FcPatternCreate());
        FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(face->Path().c_str()));
        FcPatternAddInteger(pattern.get(), FC_INDEX, face->Index());
        FcPatternAddBool(pattern.get(), FC_HINTING, FcFalse);
        FcPatternAddBool(pattern.get(), FC_EMBOLDEN, embolden ? FcTrue : FcFalse);
        slot.reset(cairo_ft_font_face_create_for_pattern(pattern.get()));
    }
    return slot.get();
}

void PdfPainter::Text(ScaledFont& font, const std::vector<PlacedGlyph>& glyphs, COLORREF colour)
{
    if (!m_cairo)
        return;
    SetColour(colour);
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, font.EmX64() / 64.0, font.EmY64() / 64.0);
    if (font.Upward()) {
        cairo_matrix_t turn;
        cairo_matrix_init_rotate(&turn, -1.5707963267948966);
        cairo_matrix_multiply(&matrix, &matrix, &turn);
    }
    // One run per face: Chinese characters come from the fallback face.
    for (std::size_t start = 0; start < glyphs.size();) {
        const FontFace* face = glyphs[start].glyph->face;
        std::vector<cairo_glyph_t> run;
        std::size_t end = start;
        for (; end < glyphs.size() && glyphs[end].glyph->face == face; ++end)
            run.push_back(cairo_glyph_t{glyphs[end].glyph->index, double(glyphs[end].pen.x), double(glyphs[end].pen.y)});
        cairo_set_font_face(m_cairo.get(), FaceFor(face, font.Emboldens(face)));
        cairo_set_font_matrix(m_cairo.get(), &matrix);
        cairo_show_glyphs(m_cairo.get(), run.data(), int(run.size()));
        start = end;
    }
}

void PdfPainter::Blit(const CRect& dest, const Surface& source, CPoint sourceOrigin, BYTE ropTable,
                      COLORREF pattern)
{
    if (!m_cairo)
        return;
    if (ropTable == RopTable(PATCOPY) || ropTable == RopTable(BLACKNESS) || ropTable == RopTable(WHITENESS)) {
        Fill(dest, pattern, ropTable);
        return;
    }
    auto* image = static_cast<cairo_surface_t*>(source.CairoSurface());
    cairo_surface_mark_dirty(image);
    cairo_save(m_cairo.get());
    cairo_rectangle(m_cairo.get(), dest.left, dest.top, dest.Width(), dest.Height());
    cairo_clip(m_cairo.get());
    cairo_set_source_surface(m_cairo.get(), image, dest.left - sourceOrigin.x, dest.top - sourceOrigin.y);
    cairo_pattern_set_filter(cairo_get_source(m_cairo.get()), CAIRO_FILTER_NEAREST);
    cairo_paint(m_cairo.get());
    cairo_restore(m_cairo.get());
}

void PdfPainter::BlitKeyed(const CRect& dest, const Surface& source, CPoint sourceOrigin, COLORREF key)
{
    if (!m_cairo || dest.IsRectEmpty())
        return;
    // Key-coloured pixels become fully transparent in a copy of the part drawn.
    CairoSurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, dest.Width(), dest.Height()));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS)
        return;
    auto* pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(image.get()));
    const int stride = cairo_image_surface_get_stride(image.get()) / 4;
    const std::uint32_t keyPixel = PixelFromColor(key);
    for (int y = 0; y < dest.Height(); ++y) {
        for (int x = 0; x < dest.Width(); ++x) {
            const int sx = sourceOrigin.x + x, sy = sourceOrigin.y + y;
            std::uint32_t pixel = 0;
            if (sx >= 0 && sy >= 0 && sx < source.Width() && sy < source.Height()) {
                const std::uint32_t value = source.Row(sy)[sx] & 0xFFFFFF;
                pixel = value == keyPixel ? 0 : value | 0xFF000000;
            }
            pixels[std::ptrdiff_t(y) * stride + x] = pixel;
        }
    }
    cairo_surface_mark_dirty(image.get());
    cairo_save(m_cairo.get());
    cairo_set_source_surface(m_cairo.get(), image.get(), dest.left, dest.top);
    cairo_pattern_set_filter(cairo_get_source(m_cairo.get()), CAIRO_FILTER_NEAREST);
    cairo_rectangle(m_cairo.get(), dest.left, dest.top, dest.Width(), dest.Height());
    cairo_fill(m_cairo.get());
    cairo_restore(m_cairo.get());
}

}
