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

// Character boundaries in GBK text of `length` bytes: a lead byte followed by any
// byte is one character, a lead byte at the very end stands alone. `index` is a
// boundary. The boundary after the character at index (length at the end):
int NextGbkBoundary(const char* text, int length, int index);
// The start of the character that ends at index (0 at the start). Looks back only
// over the run of lead-range bytes before index, not to the start of the text.
int PrevGbkBoundary(const char* text, int length, int index);

}
