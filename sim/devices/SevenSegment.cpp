#include "sim/devices/SevenSegment.h"

#include <algorithm>
#include <limits>

namespace zorkit::sim {

namespace {

constexpr BYTE kGlyphs[16] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07,
    0x7F, 0x6F, 0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71};

}

char SegmentCharacter(BYTE segments)
{
    segments &= 0x7F;
    if (segments == 0)
        return ' ';
    if (segments == 0x40)
        return '-';
    for (int i = 0; i < 16; ++i)
        if (kGlyphs[i] == segments)
            return "0123456789ABCDEF"[i];
    // 9 and 7 are also drawn with their tail (6F/07 vs 67/27).
    if (segments == 0x67)
        return '9';
    if (segments == 0x27)
        return '7';
    return '?';
}

void CSevenSegment::Latch(std::uint64_t cycle)
{
    if (m_segments == 0)
        return;
    for (int d = 0; d < 8; ++d)
        if (m_digits >> d & 1) {
            m_lastPattern[std::size_t(d)] = m_segments;
            m_lastLit[std::size_t(d)] = cycle;
            m_everLit[std::size_t(d)] = true;
        }
}

void CSevenSegment::WriteSegments(BYTE segments, std::uint64_t cycle)
{
    Latch(cycle);
    m_segments = segments;
}

void CSevenSegment::WriteDigits(BYTE digits, std::uint64_t cycle)
{
    Latch(cycle);
    m_digits = digits;
}

BYTE CSevenSegment::Seen(int digit, std::uint64_t cycle) const
{
    if ((m_digits >> digit & 1) && m_segments)
        return m_segments;
    std::size_t d = std::size_t(digit);
    if (m_everLit[d] && cycle - m_lastLit[d] < kPersistenceCycles)
        return m_lastPattern[d];
    return 0;
}

std::string CSevenSegment::Text(std::uint64_t cycle) const
{
    std::string text;
    for (int d = 0; d < 8; ++d) {
        BYTE seen = Seen(d, cycle);
        text += SegmentCharacter(seen);
        if (seen & 0x80)
            text += '.';
    }
    return text;
}

std::uint64_t CSevenSegment::NextFade(std::uint64_t cycle) const
{
    std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
    for (std::size_t d = 0; d < 8; ++d) {
        bool litNow = (m_digits >> d & 1) && m_segments;
        if (!litNow && m_everLit[d] && cycle - m_lastLit[d] < kPersistenceCycles)
            next = std::min(next, m_lastLit[d] + kPersistenceCycles);
    }
    return next;
}

}
