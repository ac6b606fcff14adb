// Names the assembler knows for 8051 internal data and bit addresses, and the names
// given to code addresses.
#pragma once

#include <string>

namespace zordis {

// Appends the special function register's name ("ACC", "TL0") or, for an address
// without one, the address as 0xNN.
void AppendDirectName(std::string& out, unsigned char direct);
// Appends the bit's name ("TR0", "CY"), SFR.n for an unnamed bit of a bit-addressable
// register ("ACC.7", "P1.3"), or the bit address as 0xNN.
void AppendBitName(std::string& out, unsigned char bit);
// Appends the label of a code address: L and four hexadecimal digits ("L01A0").
void AppendLabel(std::string& out, unsigned address);
// Appends a code address as four hexadecimal digits.
void AppendAddress(std::string& out, unsigned address);
// Appends value as 0x and two hexadecimal digits.
void AppendHex2(std::string& out, unsigned value);
// Appends value as 0x and four hexadecimal digits.
void AppendHex4(std::string& out, unsigned value);

}
