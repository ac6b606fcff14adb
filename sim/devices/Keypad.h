// A 4x4 matrix keypad behind a row latch and a column buffer. Key K sits at row
// K / 4, column K % 4; a key down joins its row and column, so a column reads 0
// while a driven (0) row has a key down on it.
#pragma once

#include <cstdint>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

class CKeypad {
public:
    void WriteRows(BYTE rows) { m_rows = BYTE(rows & 0x0F); }
    BYTE ReadColumns() const
    {
        BYTE columns = 0x0F;
        for (int key = 0; key < 16; ++key)
            if ((m_down >> key & 1) && !(m_rows >> (key / 4) & 1))
                columns &= BYTE(~(1 << (key % 4)));
        return BYTE(0xF0 | columns);
    }
    void SetKey(int key, bool down)
    {
        m_down = std::uint16_t(down ? m_down | 1u << key : m_down & ~(1u << key));
    }
    std::uint16_t Down() const { return m_down; }

private:
    BYTE m_rows = 0x0F;
    std::uint16_t m_down = 0;
};

}
