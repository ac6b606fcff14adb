#include "tools/zorstudio/CodeListing.h"

#include "zorkit/disasm/Disassemble.h"

namespace zorstudio {

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
        listing.push_back({at, length, decoder.robotcd(0).str() + text.str()});
        at = WORD(at + length);
    }
    return listing;
}

}
