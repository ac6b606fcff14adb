#include "tools/zorstudio/CodeImage.h"

#include "tools/common/Numbers.h"
#include "zorkit/disasm/Disassemble.h"

namespace zorstudio {
namespace {
constexpr std::size_t kSpace = 0x10000;
// The longest 8051 instruction.
constexpr int kMaxInstruction = 3;
// Its bytes as the listing shows them: "02 01 00".
constexpr int kBytesColumn = 3 * kMaxInstruction - 1;
}

CCodeImage::CCodeImage() : m_bytes(kSpace, 0xFF), m_known(kSpace, false) {}

void CCodeImage::Clear()
{
    m_bytes.assign(kSpace, 0xFF);
    m_known.assign(kSpace, false);
    m_count = 0;
}

void CCodeImage::Put(std::uint32_t address, const std::vector<BYTE>& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t at = (address + i) % kSpace;
        m_bytes[at] = bytes[i];
        if (!m_known[at]) {
            m_known[at] = true;
            ++m_count;
        }
    }
}

std::vector<BYTE> CCodeImage::Read(WORD address, std::size_t n) const
{
    std::vector<BYTE> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = m_bytes[(address + i) % kSpace];
    return out;
}

std::vector<CListingLine> CCodeImage::Listing(WORD address, int lines) const
{
    std::vector<CListingLine> listing;
    WORD at = address;
    for (int i = 0; i < lines && IsKnown(at); ++i) {
        // Decoded from a copy so that an instruction at FFFF reads on from 0000.
        std::vector<BYTE> window = Read(at, kMaxInstruction);
        CDisassemble decoder;
        decoder.initaddr(window.data(), nullptr, at, kMaxInstruction);
        const CString text = decoder.disamble(0);
        if (text.IsEmpty())
            break;
        const int length = decoder.GetOffset();
        for (int k = 1; k < length; ++k)
            if (!IsKnown(WORD(at + k)))
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
