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

}
