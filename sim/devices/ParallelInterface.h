// A parallel interface chip (8255-compatible) in mode 0: ports A and B and the two
// halves of port C each an input or an output, set by a mode word; a mode word also
// clears the output latches. Bit set/reset words change one pin of port C. Mode
// words asking for the strobed modes 1 and 2 are taken as mode 0 with the same
// directions. At reset every port is an input.
#pragma once

#include <array>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

class CParallelInterface {
public:
    // Register 0-2: ports A-C, 3: control.
    void Write(int reg, BYTE value);
    // A port reads its pins where it is an input and its latch where it is an output.
    BYTE Read(int reg) const;

    // What the chip puts on port n's pins: the latch on outputs, 1 (pulled up) on inputs.
    BYTE Output(int port) const { return BYTE(m_latch[std::size_t(port)] | ~OutputMask(port)); }
    // Bits of port n that are outputs.
    BYTE OutputMask(int port) const;
    // Levels the devices drive on port n's pins (1 where nothing drives).
    void SetInput(int port, BYTE levels) { m_input[std::size_t(port)] = levels; }
    BYTE Control() const { return m_control; }

private:
    std::array<BYTE, 3> m_latch{};
    std::array<BYTE, 3> m_input{0xFF, 0xFF, 0xFF};
    BYTE m_control = 0x9B;
};

}
