#include "sim/devices/ParallelInterface.h"

namespace zorkit::sim {

BYTE CParallelInterface::OutputMask(int port) const
{
    switch (port) {
    case 0: return (m_control & 0x10) ? 0x00 : 0xFF;
    case 1: return (m_control & 0x02) ? 0x00 : 0xFF;
    default: return BYTE(((m_control & 0x08) ? 0x00 : 0xF0) | ((m_control & 0x01) ? 0x00 : 0x0F));
    }
}

void CParallelInterface::Write(int reg, BYTE value)
{
    if (reg < 3) {
        m_latch[std::size_t(reg)] = value;
        return;
    }
    if (value & 0x80) {
        m_control = value;
        m_latch.fill(0);
        return;
    }
    BYTE bit = BYTE(1 << (value >> 1 & 7));
    m_latch[2] = (value & 1) ? BYTE(m_latch[2] | bit) : BYTE(m_latch[2] & ~bit);
}

BYTE CParallelInterface::Read(int reg) const
{
    if (reg >= 3)
        return 0xFF; // the control register cannot be read back
    BYTE outputs = OutputMask(reg);
    return BYTE((m_latch[std::size_t(reg)] & outputs) | (m_input[std::size_t(reg)] & ~outputs));
}

}
