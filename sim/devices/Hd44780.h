// A 16x2 character LCD with the HD44780 instruction set on an 8-bit bus. Times are
// machine cycles of a 12 MHz 8051 (one a microsecond); a write while the controller
// is busy is lost, as on the real part, so a program must poll the busy flag or wait.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

class CHd44780 {
public:
    CHd44780() { m_ddram.fill(' '); }

    void WriteInstruction(BYTE code, std::uint64_t cycle);
    void WriteData(BYTE value, std::uint64_t cycle);
    // Busy flag (bit 7) and the address counter.
    BYTE ReadStatus(std::uint64_t cycle) const;
    BYTE ReadData(std::uint64_t cycle);

    // The 16 characters each line shows (spaces while the display is off or a
    // one-line mode hides line 2); character codes 20H-7DH as ASCII, others '?'.
    std::string Line(int row) const;
    // The character code shown at a cell (row 0-1, column 0-15); 0x20 where Line
    // shows a blank for the display being off or one-line.
    BYTE ShownCode(int row, int column) const;
    // True when the address counter points at the cell (the cursor's place).
    bool CursorAt(int row, int column) const;
    // The eight user characters: 8 rows each, the low five bits lit.
    const std::array<BYTE, 64>& Cgram() const { return m_cgram; }
    bool DisplayOn() const { return m_displayOn; }
    bool CursorOn() const { return m_cursorOn; }
    bool BlinkOn() const { return m_blinkOn; }
    BYTE AddressCounter() const { return m_address; }

private:
    bool Busy(std::uint64_t cycle) const { return cycle < m_busyUntil; }
    void MoveAddress();
    // Data memory index of a DDRAM address (0-79), for a one- or two-line display.
    int DdramIndex(BYTE address) const;

    std::array<BYTE, 80> m_ddram{};
    std::array<BYTE, 64> m_cgram{};
    BYTE m_address = 0;
    bool m_toCgram = false;
    bool m_increment = true;
    bool m_shiftDisplay = false;
    bool m_displayOn = false;
    bool m_cursorOn = false;
    bool m_blinkOn = false;
    bool m_twoLines = false; // the power-on reset leaves one line, 8-bit bus
    int m_shift = 0;
    std::uint64_t m_busyUntil = 0;
};

}
