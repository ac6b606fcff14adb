// The character generator of the HD44780's usual ROM: 5x8 dot glyphs for the codes
// a program writes to the display's data memory. Codes 00-0F show the eight user
// characters of the character RAM (each twice); 20-7F the ASCII set, with the yen
// sign at 5C and the arrows at 7E/7F as the part has them; FF is the full block.
// The katakana and symbols of A1-FE are not drawn (shown blank).
#pragma once

#include <array>

#include "zorkit/platform/core/WinTypes.h"

namespace boardpanel {

// One glyph: rows 0-7 from the top, bit 4 the leftmost dot.
using CGlyph = std::array<BYTE, 8>;

// The glyph the display shows for `code`, with the character RAM's contents.
CGlyph LcdGlyph(BYTE code, const std::array<BYTE, 64>& cgram);

}
