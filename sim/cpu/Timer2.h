// The 8052's timer 2: 16-bit auto-reload from RCAP2H/RCAP2L (counting down as well
// with DCEN in T2MOD, as on the later 8052s: T2EX then gives the direction),
// capture into RCAP2 on a falling edge of T2EX, counting falling edges of T2, and
// the serial port's baud-rate generator (RCLK/TCLK), in which it counts at 1/2 of
// the oscillator, six times a machine cycle, and its overflows set no TF2.
#pragma once

#include "sim/cpu/CoreState.h"

namespace zorkit::sim::cpu {

// Advances timer 2 (running as a timer) by the machine cycles an instruction took.
void TickTimer2(CCoreState& s, unsigned cycles);

// Falling edges of T2 (P1.0) and T2EX (P1.1) after the pins of P1 changed.
void Timer2PinsChanged(CCoreState& s, BYTE oldPins);

}
