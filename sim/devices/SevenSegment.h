// An 8-digit multiplexed 7-segment display behind a segment latch and a digit
// latch. A program lights one digit at a time; the eye keeps a digit it saw lit
// within the last kPersistenceCycles, so a display scanned faster than that is
// seen steady, and a slow scan shows only the digit lit now.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

class CSevenSegment {
public:
    // 20 ms: a digit lit at least 50 times a second looks steady.
    static constexpr std::uint64_t kPersistenceCycles = 20000;

    void WriteSegments(BYTE segments, std::uint64_t cycle);
    void WriteDigits(BYTE digits, std::uint64_t cycle);
    // The segments digit n is seen with at `cycle` (bit 0 = a ... bit 6 = g, bit 7 = dp).
    BYTE Seen(int digit, std::uint64_t cycle) const;
    // The eight digits as text, digit 0 first: 0-9, A-F, '-', ' ' for dark, '?' for
    // any other pattern; a lit decimal point adds '.' after its digit.
    std::string Text(std::uint64_t cycle) const;
    // The next cycle at which a digit fades out, if one will.
    std::uint64_t NextFade(std::uint64_t cycle) const;

private:
    // Remembers what the digits lit until now showed.
    void Latch(std::uint64_t cycle);

    BYTE m_segments = 0;
    BYTE m_digits = 0;
    std::array<BYTE, 8> m_lastPattern{};
    std::array<std::uint64_t, 8> m_lastLit{};
    std::array<bool, 8> m_everLit{};
};

// The character a segment pattern shows (without the decimal point).
char SegmentCharacter(BYTE segments);

}
