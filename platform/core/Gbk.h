// GBK (code page 936) is the library's narrow encoding; UTF-8 is what sources,
// terminals, fonts and the desktop speak. These are the only crossings between them.
#pragma once

#include <string>
#include <string_view>

namespace zorkit {

// Undecodable input bytes become '?' so that a conversion never fails outright.
std::string GbkFromUtf8(std::string_view utf8);
std::string Utf8FromGbk(std::string_view gbk);
std::u32string CodePointsFromGbk(std::string_view gbk);

// True when byte starts a two-byte GBK character.
constexpr bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }
// True when byte can end a two-byte GBK character.
constexpr bool IsGbkTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFE && byte != 0x7F; }

// Character boundaries in GBK text of `length` bytes: a lead byte followed by a trail
// byte is one character; any other byte, a lead byte before a byte that cannot trail
// it or at the very end included, stands alone. Measuring, drawing, hit testing and
// editing all step by this one rule. `index` is a boundary. The boundary after the
// character at index (length at the end):
int NextGbkBoundary(const char* text, int length, int index);
// The start of the character that ends at index (0 at the start).
int PrevGbkBoundary(const char* text, int length, int index);
// The start of the character that holds the byte at index (any index below length).
// Looks back only over the run of lead-range bytes before index, not to the start.
int GbkCharacterStart(const char* text, int length, int index);

}
