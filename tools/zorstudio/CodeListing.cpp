#include "tools/zorstudio/CodeListing.h"

#include "tools/common/Numbers.h"
#include "zorkit/disasm/Disassemble.h"

namespace zorstudio {
namespace {
// The longest instruction's bytes as the listing shows them: "02 01 00".
constexpr int kBytesColumn = 3 * CCodeImage::kLongestInstruction - 1;
}

std::vector<CListingLine> ListCode(const CCodeImage& code, WORD address, int lines)
{
    std::vector<CListingLine> listing;
    WORD at = address;
    for (int i = 0; i < lines && code.IsKnown(at); ++i) {
        // Decoded from a copy so that an instruction at FFFF reads on from 0000.
        std::vector<BYTE> window = code.Read(at, CCodeImage::kLongestInstruction);
        CDisassemble decoder;
        decoder.initaddr(window.data(), nullptr, at, CCodeImage::kLongestInstruction);
        const CString text = decoder.disamble(0);
        if (text.IsEmpty())
            break;
        const int length = decoder.GetOffset();
        for (int k = 1; k < length; ++k)
            if (!code.IsKnown(WORD(at + k)))
                return listing;
        std::string bytes;
        for (int k = 0; k < length; ++k)
            bytes += (k ? " " : "") + tools::Hex(window[std::size_t(k)], 2);
        // The bytes padded to the longest instruction's, so that the instructions align.
        bytes.resize(std::size_t(kBytesColumn), ' ');
        listing.push_back({at, length, tools::Hex(at, 4) + "  " + bytes + "  " + text.str()});
        at = WORD(at + length);
    }
    return listing;
}

}
