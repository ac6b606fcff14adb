#include "sim/devices/Stepper.h"

namespace zorkit::sim {

namespace {

// The half-step positions: A, AB, B, BC, C, CD, D, DA.
int PositionOf(BYTE phases)
{
    static constexpr BYTE kPatterns[8] = {0x1, 0x3, 0x2, 0x6, 0x4, 0xC, 0x8, 0x9};
    for (int i = 0; i < 8; ++i)
        if (kPatterns[i] == phases)
            return i;
    return -1;
}

}

void CStepper::SetPhases(BYTE phases)
{
    m_phases = BYTE(phases & 0x0F);
    int position = PositionOf(m_phases);
    if (position < 0)
        return;
    if (m_position >= 0) {
        int move = ((position - m_position) % 8 + 8) % 8;
        // Four half steps away pulls from the opposite side: the rotor cannot tell which way.
        if (move == 4)
            return;
        m_halfSteps += move < 4 ? move : move - 8;
    }
    m_position = position;
}

}
