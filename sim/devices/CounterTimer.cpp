#include "sim/devices/CounterTimer.h"

namespace zorkit::sim {

void CCounterTimer::Write(int reg, BYTE value, std::uint64_t cycle)
{
    if (reg == 3) {
        int select = value >> 6;
        if (select == 3)
            return; // the read-back command belongs to later parts
        CCounter& counter = m_counters[std::size_t(select)];
        int access = value >> 4 & 3;
        if (access == 0) {
            counter.latch = Value(counter, cycle);
            counter.latched = true;
            counter.readHighNext = false;
            return;
        }
        counter.access = access;
        counter.mode = value >> 1 & 7;
        if (counter.mode > 5)
            counter.mode -= 4; // 6 and 7 are 2 and 3
        counter.loaded = false;
        counter.highNext = access == 2;
        counter.readHighNext = access == 2;
        return;
    }
    CCounter& counter = m_counters[std::size_t(reg)];
    if (counter.access == 3 && !counter.highNext) {
        counter.pendingLow = value;
        counter.highNext = true;
        return;
    }
    WORD count = counter.access == 1 ? value
        : counter.access == 2        ? WORD(value << 8)
                                     : WORD(value << 8 | counter.pendingLow);
    counter.highNext = counter.access == 2;
    counter.reload = count ? count : 0x10000;
    counter.loadedAt = cycle;
    counter.loaded = true;
}

WORD CCounterTimer::Value(const CCounter& counter, std::uint64_t cycle) const
{
    if (!counter.loaded || counter.mode == 1 || counter.mode == 5)
        return WORD(counter.reload);
    std::uint64_t elapsed = cycle - counter.loadedAt;
    if (counter.mode == 2 || counter.mode == 3)
        return WORD(counter.reload - elapsed % counter.reload);
    return WORD(counter.reload - elapsed);
}

BYTE CCounterTimer::Read(int reg, std::uint64_t cycle)
{
    if (reg == 3)
        return 0xFF;
    CCounter& counter = m_counters[std::size_t(reg)];
    WORD value = counter.latched ? counter.latch : Value(counter, cycle);
    bool high = counter.access == 2 || (counter.access == 3 && counter.readHighNext);
    if (counter.access == 3)
        counter.readHighNext = !counter.readHighNext;
    if (counter.access != 3 || !counter.readHighNext)
        counter.latched = false;
    return high ? BYTE(value >> 8) : BYTE(value);
}

bool CCounterTimer::Output(int index, std::uint64_t cycle) const
{
    const CCounter& counter = m_counters[std::size_t(index)];
    if (!counter.loaded)
        return counter.mode != 0;
    std::uint64_t elapsed = cycle - counter.loadedAt;
    switch (counter.mode) {
    case 0: return elapsed >= counter.reload;
    case 2: return elapsed % counter.reload != counter.reload - 1;
    case 3: return elapsed % counter.reload < (counter.reload + 1) / 2;
    case 4: return elapsed != counter.reload;
    default: return true;
    }
}

std::uint64_t CCounterTimer::NextChange(int index, std::uint64_t cycle) const
{
    const CCounter& counter = m_counters[std::size_t(index)];
    if (!counter.loaded || cycle < counter.loadedAt)
        return kNever;
    std::uint64_t elapsed = cycle - counter.loadedAt;
    std::uint64_t n = counter.reload;
    switch (counter.mode) {
    case 0: return elapsed < n ? counter.loadedAt + n : kNever;
    case 2: {
        // Low for the last count of each period.
        if (n < 2)
            return kNever;
        std::uint64_t phase = elapsed % n;
        return phase < n - 1 ? cycle + (n - 1 - phase) : cycle + 1;
    }
    case 3: {
        // High for the first half of each period (the longer half of an odd count).
        std::uint64_t high = (n + 1) / 2;
        if (n < 2)
            return kNever;
        std::uint64_t phase = elapsed % n;
        return phase < high ? cycle + (high - phase) : cycle + (n - phase);
    }
    case 4: return elapsed < n ? counter.loadedAt + n : elapsed == n ? cycle + 1 : kNever;
    default: return kNever;
    }
}

double CCounterTimer::ToneHz(int index, std::uint64_t machineCyclesPerSecond) const
{
    const CCounter& counter = m_counters[std::size_t(index)];
    if (!counter.loaded || (counter.mode != 2 && counter.mode != 3) || counter.reload < 2)
        return 0;
    return double(machineCyclesPerSecond) / counter.reload;
}

}
