#include "tools/common/CodeImage.h"

namespace tools {
namespace {
constexpr std::uint8_t kUnknown = 0xFF;
}

CCodeImage::CCodeImage()
    : m_bytes(kSize + kLongestInstruction - 1, kUnknown)
    , m_known(kSize, false)
{
}

void CCodeImage::Clear()
{
    m_bytes.assign(m_bytes.size(), kUnknown);
    m_known.assign(kSize, false);
    m_count = 0;
}

void CCodeImage::Put(std::uint32_t address, const std::vector<std::uint8_t>& bytes, std::uint32_t first, std::uint32_t last)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint64_t unwrapped = std::uint64_t(address) + i;
        if (unwrapped < first || unwrapped > last)
            continue;
        const std::size_t at = std::size_t(unwrapped % kSize);
        m_bytes[at] = bytes[i];
        if (!m_known[at]) {
            m_known[at] = true;
            ++m_count;
        }
    }
}

std::vector<std::uint8_t> CCodeImage::Read(std::uint16_t address, std::size_t n) const
{
    std::vector<std::uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = m_bytes[(address + i) % kSize];
    return out;
}

std::vector<CCodeImage::Run> CCodeImage::GetRuns() const
{
    std::vector<Run> runs;
    for (unsigned address = 0; address < kSize;) {
        if (!m_known[address]) {
            ++address;
            continue;
        }
        const unsigned first = address;
        while (address < kSize && m_known[address])
            ++address;
        runs.push_back({first, address});
    }
    return runs;
}

}
