#include "sim/cpu/CoreState.h"

#include "sim/cpu/Interrupts.h"
#include "sim/cpu/Timers.h"

namespace zorkit::sim::cpu {

void CCoreState::SfrWritten(BYTE address, BYTE old)
{
    switch (address) {
    case IE:
    case IP: interruptHold = true; return;
    case TCON: UpdateExternalRequests(*this, Sfr(P3)); return;
    case P3:
        UpdateExternalRequests(*this, old);
        CountPinEdges(*this, old);
        break;
    default: break;
    }
    BYTE value = Sfr(address);
    if (value != old && portObserver)
        portObserver((address >> 4) - 8, value);
}

}
