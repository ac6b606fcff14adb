// The interrupt system: five sources (external 0, timer 0, external 1, timer 1,
// serial) and the 8052's timer 2, two priority levels from IP, polled in that order within a level.
#pragma once

#include "sim/cpu/CoreState.h"

namespace zorkit::sim::cpu {

// After each instruction: calls the vector of the most urgent request that may
// interrupt what is in service. Returns the machine cycles the call took (0 or 2).
unsigned ServiceInterrupts(CCoreState& s);

// RETI: back to the interrupted code, ending the highest level in service.
void ReturnFromInterrupt(CCoreState& s);

// External interrupt flags after a change of the INT0/INT1 pins or
// of TCON: an edge-triggered input latches a falling edge, a level-triggered one
// requests while the pin is low.
void UpdateExternalRequests(CCoreState& s, BYTE oldPins);

}
