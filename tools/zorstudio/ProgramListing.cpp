#include "tools/zorstudio/ProgramListing.h"

#include <algorithm>

namespace zorstudio {

CProgramListing::CProgramListing(const CCodeImage& code, const Heading& heading)
{
    constexpr std::uint32_t kCodeSpace = 0x10000;
    std::uint32_t address = 0;
    while (address < kCodeSpace) {
        if (!code.IsKnown(WORD(address))) {
            ++address;
            continue;
        }
        // Decodes the run of known bytes; the listing stops at the first unknown one.
        const std::vector<CListingLine> run = ListCode(code, WORD(address), int(kCodeSpace - address));
        if (run.empty()) {
            ++address;
            continue;
        }
        const std::uint32_t end = std::uint32_t(run.back().address) + std::uint32_t(run.back().length);
        for (const CListingLine& line : run) {
            if (heading)
                if (auto text = heading(line.address))
                    m_lines.push_back({line.address, 0, *text});
            m_lines.push_back(line);
        }
        // An instruction that wraps past FFFF ends the listing.
        if (end <= address)
            break;
        address = end;
    }
}

int CProgramListing::LineOf(WORD address) const
{
    auto found = std::lower_bound(m_lines.begin(), m_lines.end(), address,
                                  [](const CListingLine& line, WORD a) { return line.address < a; });
    if (found != m_lines.end() && found->length == 0)
        ++found;
    if (found == m_lines.end() || found->address != address)
        return -1;
    return int(found - m_lines.begin());
}

}
