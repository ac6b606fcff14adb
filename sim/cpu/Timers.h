// Timers/counters 0 and 1 in modes 0 (13 bits), 1 (16 bits), 2 (8 bits with
// reload) and 3 (timer 0 split in two 8-bit timers, timer 1 stopped). As timers
// they count machine cycles; as counters, falling edges of the T0/T1 pins.
#pragma once

#include "sim/cpu/CoreState.h"

namespace zorkit::sim::cpu {

// False when no timer can count, so the per-instruction work is skipped.
inline bool TimersMayRun(const CCoreState& s)
{
    return (s.Sfr(TCON) & (kTR0 | kTR1)) || (s.Sfr(TMOD) & 0x03) == 3 || (s.Sfr(T2CON) & kTR2);
}

// Advances the running timers by the machine cycles an instruction took.
void TickTimers(CCoreState& s, unsigned cycles);

// Counts the falling edges of T0 and T1 after a write to P3.
void CountPinEdges(CCoreState& s, BYTE oldPins);

}
