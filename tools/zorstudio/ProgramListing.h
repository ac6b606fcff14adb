// The disassembly listing of every byte the host downloaded, one instruction a line,
// and the way between addresses and lines, for the listing view.
//
//   CProgramListing listing(session.Code());
//   int line = listing.LineOf(session.Current().pc);   // -1: no instruction starts there
#pragma once

#include <vector>

#include "tools/zorstudio/CodeListing.h"

namespace zorstudio {

class CProgramListing {
public:
    CProgramListing() = default;
    explicit CProgramListing(const CCodeImage& code);

    const std::vector<CListingLine>& Lines() const { return m_lines; }
    // The line of the instruction that starts at address; -1 when none does.
    int LineOf(WORD address) const;

private:
    std::vector<CListingLine> m_lines;
};

}
