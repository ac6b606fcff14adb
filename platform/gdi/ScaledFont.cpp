#include "zorkit/platform/gdi/internal/ScaledFont.h"

#include FT_SIZES_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cmath>
#include <string_view>

#include "zorkit/platform/core/Gbk.h"

namespace zorkit {
namespace {

// A zero height asks for the default cell.
constexpr LONG kDefaultCellHeight = 16;

FtSizePtr NewSize(const FontFace* face, long emX64, long emY64)
{
    FT_Size size = nullptr;
    if (!face || FT_New_Size(face->Face(), &size) != 0)
        return nullptr;
    FT_Activate_Size(size);
    FT_Set_Char_Size(face->Face(), emX64, emY64, 72, 72);
    return FtSizePtr(size);
}

}

ScaledFont::ScaledFont(FT_Library, std::shared_ptr<FontFace> primary, std::shared_ptr<FontFace> fallback,
                       const LOGFONT& font)
    : m_font(font), m_primary(std::move(primary)), m_fallback(std::move(fallback))
{
    m_asciiAdvance.fill(-1);
    const FontFace& f = *m_primary;
    const double cell = f.winAscent + f.winDescent;
    const LONG height = font.lfHeight == 0 ? kDefaultCellHeight : font.lfHeight;
    // GDI: a positive height is the cell (win ascent + descent), a negative one the em.
    const double scale = height > 0 ? height / cell : -double(height) / f.unitsPerEm;
    const int ascent = int(std::lround(f.winAscent * scale));
    const int descent = height > 0 ? int(height) - ascent : int(std::lround(f.winDescent * scale));
    double xScale = scale;
    if (font.lfWidth > 0 && f.averageWidth > 0)
        xScale = double(font.lfWidth) / f.averageWidth;
    m_emY64 = std::lround(scale * f.unitsPerEm * 64);
    m_emX64 = std::lround(xScale * f.unitsPerEm * 64);

    m_metrics.tmAscent = ascent;
    m_metrics.tmDescent = descent;
    m_metrics.tmHeight = ascent + descent;
    m_metrics.tmInternalLeading = m_metrics.tmHeight - LONG(std::lround(scale * f.unitsPerEm));
    const double lineGap = f.hheaLineGap - (cell - (f.hheaAscender - f.hheaDescender));
    m_metrics.tmExternalLeading = std::max(0L, std::lround(lineGap * scale));
    m_metrics.tmAveCharWidth = font.lfWidth > 0 ? font.lfWidth : LONG(std::lround(f.averageWidth * xScale));
    m_metrics.tmMaxCharWidth = LONG(std::lround(f.maximumAdvance * xScale));
    m_metrics.tmWeight = font.lfWeight ? font.lfWeight : FW_NORMAL;
    m_metrics.tmDigitizedAspectX = 96;
    m_metrics.tmDigitizedAspectY = 96;
    m_metrics.tmFirstChar = 0x20;
    m_metrics.tmLastChar = 0xFF;
    m_metrics.tmDefaultChar = 0x1F;
    m_metrics.tmBreakChar = 0x20;
    m_metrics.tmItalic = font.lfItalic;
    m_metrics.tmUnderlined = font.lfUnderline;
    m_metrics.tmStruckOut = font.lfStrikeOut;
    // TMPF_FIXED_PITCH (1) means variable pitch; 6 = vector | TrueType.
    m_metrics.tmPitchAndFamily = BYTE((f.IsFixedPitch() ? 0 : 1) | 6 | (f.IsFixedPitch() ? FF_MODERN : FF_SWISS));
    m_metrics.tmCharSet = font.lfCharSet;

    FT_Face face = f.Face();
    m_underlineThickness = std::max(1, int(std::lround(face->underline_thickness * scale)));
    m_underlinePosition = int(std::lround(-face->underline_position * scale));

    m_primarySize = NewSize(m_primary.get(), m_emX64, m_emY64);
    m_fallbackSize = NewSize(m_fallback.get(), m_emX64, m_emY64);
}

FT_Size ScaledFont::SizeFor(const FontFace* face) const
{
    return face == m_primary.get() ? m_primarySize.get() : m_fallbackSize.get();
}

Glyph ScaledFont::Load(char32_t ch)
{
    Glyph glyph;
    glyph.face = m_primary.get();
    if (!m_primary->HasChar(ch) && m_fallback && m_fallback->HasChar(ch))
        glyph.face = m_fallback.get();
    FT_Face face = glyph.face->Face();
    glyph.index = FT_Get_Char_Index(face, ch);
    FT_Activate_Size(SizeFor(glyph.face));
    if (FT_Load_Glyph(face, glyph.index, FT_LOAD_DEFAULT) == 0) {
        if (Emboldens(glyph.face))
            FT_GlyphSlot_Embolden(face->glyph);
        glyph.advance = int((face->glyph->advance.x + 32) >> 6);
    }
    return glyph;
}

int ScaledFont::AsciiAdvance(unsigned char ch)
{
    int i = 0;
    const char text = char(ch);
    m_asciiAdvance[ch] = Next(&text, 1, i).advance;
    return m_asciiAdvance[ch];
}

int ScaledFont::Measure(const char* text, int count)
{
    int width = 0;
    for (int i = 0; i < count;) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            const int advance = m_asciiAdvance[b];
            width += advance >= 0 ? advance : AsciiAdvance(b);
            ++i;
        } else if (NextGbkBoundary(text, count, i) == i + 2) {
            if (m_gbkAdvance.empty())
                m_gbkAdvance.assign(126 * 192, -1);
            std::int32_t& advance =
                m_gbkAdvance[std::size_t(b - 0x81) * 192 + static_cast<unsigned char>(text[i + 1]) - 0x40];
            if (advance < 0)
                advance = Next(text, count, i).advance;
            else
                i += 2;
            width += advance;
        } else {
            width += Next(text, count, i).advance;
        }
    }
    return width;
}

Glyph& ScaledFont::Next(const char* text, int count, int& i)
{
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
        ++i;
        auto& slot = m_ascii[b];
        if (!slot)
            slot = std::make_unique<Glyph>(Load(b));
        return *slot;
    }
    const int start = i;
    std::uint32_t key = b;
    i = NextGbkBoundary(text, count, i);
    if (i == start + 2)
        key = (key << 8) | static_cast<unsigned char>(text[start + 1]);
    auto& slot = m_wide[key];
    if (!slot) {
        const std::u32string decoded = CodePointsFromGbk(std::string_view(text + start, std::size_t(i - start)));
        slot = std::make_unique<Glyph>(Load(decoded.empty() ? U'?' : decoded[0]));
    }
    return *slot;
}

const Glyph& ScaledFont::Rendered(Glyph& glyph)
{
    if (glyph.rendered)
        return glyph;
    glyph.rendered = true;
    FT_Face face = glyph.face->Face();
    FT_Activate_Size(SizeFor(glyph.face));
    if (FT_Load_Glyph(face, glyph.index, FT_LOAD_DEFAULT) != 0)
        return glyph;
    if (Emboldens(glyph.face))
        FT_GlyphSlot_Embolden(face->glyph);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
        return glyph;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
        return glyph;
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = int(bitmap.width);
    glyph.rows = int(bitmap.rows);
    glyph.coverage.resize(std::size_t(glyph.width) * std::size_t(glyph.rows));
    for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* src = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
        std::copy(src, src + glyph.width, glyph.coverage.begin() + std::ptrdiff_t(y) * glyph.width);
    }
    return glyph;
}

}
