// The host's copy of the code memory it downloaded. The monitor has no command that
// reads code memory back, so the listing around the program counter is decoded from
// this copy; bytes never downloaded read as 0xFF and are marked unknown.
//
//   CCodeImage code;
//   code.Put(0x0100, bytes);
//   for (const CListingLine& line : code.Listing(0x0100, 12)) ...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

namespace zorstudio {

struct CListingLine {
    WORD address;
    int length;         // bytes of the instruction
    // "0100  78 30     MOV R0,#30H": the address, the bytes padded to the longest
    // instruction's, the instruction.
    std::string text;
};

class CCodeImage {
public:
    CCodeImage();

    void Clear();
    void Put(std::uint32_t address, const std::vector<BYTE>& bytes);
    bool IsKnown(WORD address) const { return m_known[address]; }
    bool IsEmpty() const { return m_count == 0; }
    // n bytes from address, wrapping at FFFF.
    std::vector<BYTE> Read(WORD address, std::size_t n) const;
    // Up to `lines` instructions decoded from `address`; stops at the first unknown byte.
    std::vector<CListingLine> Listing(WORD address, int lines) const;

private:
    std::vector<BYTE> m_bytes;
    std::vector<bool> m_known;
    std::size_t m_count = 0;
};

}
