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
// The index just past the character that starts at index: two bytes for a lead byte
// followed by a trail byte, one for any other byte (as the fonts draw them).
int NextGbkBoundary(const char* text, int length, int index);

}
