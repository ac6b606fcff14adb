// The disassembly listing of every byte the host downloaded, one instruction a line,
// and the way between addresses and lines, for the listing view. A source line can
// head the instructions made from it: a line of length 0 at their first address.
//
//   CProgramListing listing(session.Code(), [&](WORD at) { return program.SourceLineAt(at); });
//   int line = listing.LineOf(session.Current().pc);   // -1: no instruction starts there
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/zorstudio/CodeListing.h"

namespace zorstudio {

class CProgramListing {
public:
    CProgramListing() = default;
    // The heading of the instruction at an address, when a source line starts there.
    using Heading = std::function<std::optional<std::string>(WORD address)>;
    explicit CProgramListing(const CCodeImage& code, const Heading& heading = {});

    const std::vector<CListingLine>& Lines() const { return m_lines; }
    // The line of the instruction (not its heading) that starts at address; -1 when none does.
    int LineOf(WORD address) const;

private:
    std::vector<CListingLine> m_lines;
};

}
