#include "tools/zordis/CodeImage.h"

CCodeImage::CCodeImage()
    : m_bytes(kSize)
    , m_present(kSize)
{
}

void CCodeImage::Add(unsigned long address, const std::vector<unsigned char>& bytes, unsigned long first, unsigned long last)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned long at = address + i;
        if (at >= first && at <= last && at < kSize) {
            m_bytes[at] = bytes[i];
            m_present[at] = true;
        }
    }
}

std::vector<CCodeImage::Run> CCodeImage::GetRuns() const
{
    std::vector<Run> runs;
    for (unsigned address = 0; address < kSize;) {
        if (!m_present[address]) {
            ++address;
            continue;
        }
        const unsigned first = address;
        while (address < kSize && m_present[address])
            ++address;
        runs.push_back({first, address});
    }
    return runs;
}
