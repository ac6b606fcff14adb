// The board's converters: an 8-channel 8-bit A/D converter started and read over
// the bus, whose end-of-conversion signal falls at the start and rises when the
// result is ready, and an 8-bit D/A converter whose output is kept.
#pragma once

#include <array>
#include <cstdint>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

class CAdConverter {
public:
    // About 100 µs, as the usual successive-approximation part at 640 kHz.
    static constexpr std::uint64_t kConversionCycles = 100;

    void Start(int channel, std::uint64_t cycle)
    {
        m_channel = channel & 7;
        m_doneAt = cycle + kConversionCycles;
        m_pending = true;
    }
    // Ends a conversion whose time has come; true when it did.
    bool Advance(std::uint64_t cycle)
    {
        if (!m_pending || cycle < m_doneAt)
            return false;
        m_pending = false;
        m_result = m_inputs[std::size_t(m_channel)];
        return true;
    }
    bool EndOfConversion() const { return !m_pending; }
    // The last result; a read during a conversion gives the one before it.
    BYTE Result() const { return m_result; }
    std::uint64_t DoneAt() const { return m_doneAt; }
    void SetInput(int channel, BYTE value) { m_inputs[std::size_t(channel)] = value; }
    BYTE Input(int channel) const { return m_inputs[std::size_t(channel)]; }

private:
    std::array<BYTE, 8> m_inputs{};
    int m_channel = 0;
    BYTE m_result = 0;
    bool m_pending = false;
    std::uint64_t m_doneAt = 0;
};

class CDaConverter {
public:
    void Write(BYTE value, std::uint64_t cycle)
    {
        m_value = value;
        m_lastWrite = cycle;
        ++m_writes;
    }
    BYTE Value() const { return m_value; }
    std::uint64_t Writes() const { return m_writes; }
    std::uint64_t LastWrite() const { return m_lastWrite; }

private:
    BYTE m_value = 0;
    std::uint64_t m_writes = 0;
    std::uint64_t m_lastWrite = 0;
};

}
