// The listing decoded from the host's copy of the code memory it downloaded. The
// monitor has no command that reads code memory back, so the listing around the
// program counter comes from this copy; bytes never downloaded are unknown.
//
//   CCodeImage code;
//   code.Put(0x0100, bytes);
//   for (const CListingLine& line : ListCode(code, 0x0100, 12)) ...
#pragma once

#include <string>
#include <vector>

#include "tools/common/CodeImage.h"
#include "zorkit/platform/core/WinTypes.h"

namespace zorstudio {

using tools::CCodeImage;

struct CListingLine {
    WORD address;
    int length;         // bytes of the instruction
    // "0100  78 30     MOV R0,#30H": the address, the bytes padded to the longest
    // instruction's, the instruction.
    std::string text;
};

// Up to `lines` instructions decoded from `address`; stops at the first unknown byte.
std::vector<CListingLine> ListCode(const CCodeImage& code, WORD address, int lines);

}
