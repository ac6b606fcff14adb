// A font at one size: GDI text metrics, integer advances and glyph bitmaps, cached per
// character. Text is GBK; characters the primary face lacks come from the fallback face.
// Private to the platform layer; used on one thread at a time (the UI thread).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "zorkit/platform/gdi/internal/FontFace.h"
#include "zorkit/platform/gdi/GdiTypes.h"

namespace zorkit {

struct Glyph {
    const FontFace* face = nullptr;
    unsigned index = 0;
    int advance = 0;
    bool rendered = false;
    int left = 0;     // bitmap's left edge from the pen position
    int top = 0;      // bitmap's top edge above the baseline
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;  // width x rows, 0..255
    // The glyph blended in one colour over one background (width x rows pixels), kept for
    // the next time it is drawn so; empty until then.
    std::uint32_t tintPixel = 0;
    std::uint32_t tintBackground = 0;
    std::vector<std::uint32_t> tinted;
};

class ScaledFont {
public:
    ScaledFont(FT_Library library, std::shared_ptr<FontFace> primary, std::shared_ptr<FontFace> fallback,
               const LOGFONT& font);
    ScaledFont(const ScaledFont&) = delete;
    ScaledFont& operator=(const ScaledFont&) = delete;

    const TEXTMETRIC& Metrics() const { return m_metrics; }
    const LOGFONT& Description() const { return m_font; }
    bool Upward() const { return m_font.lfEscapement == 900; }
    // The em size in 1/64 pixel, horizontally and vertically.
    long EmX64() const { return m_emX64; }
    long EmY64() const { return m_emY64; }
    int UnderlinePosition() const { return m_underlinePosition; }
    int UnderlineThickness() const { return m_underlineThickness; }

    // A bold font drawn with a face that has no bold of its own (the Chinese fallback)
    // thickens that face's outlines, as the desktop does.
    bool Emboldens(const FontFace* face) const { return m_font.lfWeight >= FW_SEMIBOLD && !face->IsBold(); }

    // Sum of the advances of count bytes of GBK text.
    int Measure(const char* text, int count);
    // The glyph of the character starting at text[i]; advances i past it (1 or 2 bytes).
    Glyph& Next(const char* text, int count, int& i);
    // Makes sure the glyph's coverage bitmap exists.
    const Glyph& Rendered(Glyph& glyph);

private:
    Glyph Load(char32_t ch);
    int AsciiAdvance(unsigned char ch);
    FT_Size SizeFor(const FontFace* face) const;

    LOGFONT m_font;
    std::shared_ptr<FontFace> m_primary;
    std::shared_ptr<FontFace> m_fallback;
    FtSizePtr m_primarySize;
    FtSizePtr m_fallbackSize;
    long m_emX64 = 0;
    long m_emY64 = 0;
    int m_underlinePosition = 0;
    int m_underlineThickness = 1;
    TEXTMETRIC m_metrics{};
    std::array<std::int32_t, 128> m_asciiAdvance;
    std::array<std::unique_ptr<Glyph>, 128> m_ascii;
    std::vector<std::int32_t> m_gbkAdvance;  // by (lead - 0x81) * 192 + trail - 0x40; -1 unknown
    std::unordered_map<std::uint32_t, std::unique_ptr<Glyph>> m_wide;  // by GBK code
};

}
