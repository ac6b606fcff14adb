#include "sim/devices/Hd44780.h"

namespace zorkit::sim {

namespace {

constexpr std::uint64_t kShortCycles = 37;   // µs for most instructions and data
constexpr std::uint64_t kLongCycles = 1520;  // clear and home

}

int CHd44780::DdramIndex(BYTE address) const
{
    if (!m_twoLines)
        return address % 80;
    int line = (address & 0x40) ? 1 : 0;
    return line * 40 + (address & 0x3F) % 40;
}

void CHd44780::MoveAddress()
{
    if (m_toCgram) {
        m_address = BYTE((m_address + (m_increment ? 1 : -1)) & 0x3F);
        return;
    }
    int index = DdramIndex(m_address) + (m_increment ? 1 : -1);
    index = (index + 80) % 80;
    m_address = m_twoLines ? BYTE((index / 40) * 0x40 + index % 40) : BYTE(index);
}

void CHd44780::WriteInstruction(BYTE code, std::uint64_t cycle)
{
    if (Busy(cycle))
        return;
    m_busyUntil = cycle + kShortCycles;
    if (code & 0x80) {
        m_toCgram = false;
        m_address = BYTE(code & 0x7F);
    } else if (code & 0x40) {
        m_toCgram = true;
        m_address = BYTE(code & 0x3F);
    } else if (code & 0x20) {
        // DL (bit 4) is taken as 8 bits: the board's bus has all eight lines.
        m_twoLines = code & 0x08;
    } else if (code & 0x10) {
        int by = (code & 0x04) ? 1 : -1;
        if (code & 0x08)
            m_shift += by;
        else {
            bool increment = m_increment;
            m_increment = by > 0;
            MoveAddress();
            m_increment = increment;
        }
    } else if (code & 0x08) {
        m_displayOn = code & 0x04;
        m_cursorOn = code & 0x02;
        m_blinkOn = code & 0x01;
    } else if (code & 0x04) {
        m_increment = code & 0x02;
        m_shiftDisplay = code & 0x01;
    } else if (code & 0x02) {
        m_toCgram = false;
        m_address = 0;
        m_shift = 0;
        m_busyUntil = cycle + kLongCycles;
    } else if (code & 0x01) {
        m_ddram.fill(' ');
        m_toCgram = false;
        m_address = 0;
        m_shift = 0;
        m_increment = true;
        m_busyUntil = cycle + kLongCycles;
    }
}

void CHd44780::WriteData(BYTE value, std::uint64_t cycle)
{
    if (Busy(cycle))
        return;
    m_busyUntil = cycle + kShortCycles;
    if (m_toCgram)
        m_cgram[m_address & 0x3F] = value;
    else
        m_ddram[std::size_t(DdramIndex(m_address))] = value;
    MoveAddress();
    if (m_shiftDisplay && !m_toCgram)
        m_shift += m_increment ? 1 : -1;
}

BYTE CHd44780::ReadStatus(std::uint64_t cycle) const
{
    return BYTE((Busy(cycle) ? 0x80 : 0) | (m_address & 0x7F));
}

BYTE CHd44780::ReadData(std::uint64_t cycle)
{
    if (Busy(cycle))
        return 0;
    m_busyUntil = cycle + kShortCycles;
    BYTE value = m_toCgram ? m_cgram[m_address & 0x3F] : m_ddram[std::size_t(DdramIndex(m_address))];
    MoveAddress();
    return value;
}

BYTE CHd44780::ShownCode(int row, int column) const
{
    if (!m_displayOn || (row == 1 && !m_twoLines))
        return ' ';
    int width = m_twoLines ? 40 : 80;
    int index = ((column + m_shift) % width + width) % width;
    return m_ddram[std::size_t(row * 40 + index)];
}

bool CHd44780::CursorAt(int row, int column) const
{
    if (!m_displayOn || m_toCgram || (row == 1 && !m_twoLines))
        return false;
    int width = m_twoLines ? 40 : 80;
    int index = ((column + m_shift) % width + width) % width;
    return DdramIndex(m_address) == row * 40 + index;
}

std::string CHd44780::Line(int row) const
{
    std::string text(16, ' ');
    for (int column = 0; column < 16; ++column) {
        BYTE c = ShownCode(row, column);
        text[std::size_t(column)] = c >= 0x20 && c <= 0x7D ? char(c) : '?';
    }
    return text;
}

}
