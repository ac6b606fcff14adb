#include "sim/cpu/CoreState.h"

#include "sim/cpu/Interrupts.h"
#include "sim/cpu/SerialPort.h"
#include "sim/cpu/Timer2.h"
#include "sim/cpu/Timers.h"

namespace zorkit::sim::cpu {

void CCoreState::SfrWritten(BYTE address, BYTE old)
{
    switch (address) {
    case IE:
    case IP: interruptHold = true; return;
    case TCON: UpdateExternalRequests(*this, Pins(3)); return;
    case SCON: SconWritten(*this); return;
    case SBUF:
        // SBUF reads the receive buffer; what is written goes out.
        StartTransmit(*this, Sfr(SBUF));
        Sfr(SBUF) = old;
        return;
    case T2CON:
        // An 8051 has no timer 2: its control register stays clear.
        if (!is8052)
            Sfr(T2CON) = old;
        return;
    default: break;
    }
    int port = PortIndex(address);
    if (Sfr(address) == old)
        return;
    PinsChanged(port, BYTE(old & pinInput[port]));
    LatchChanged(port);
}

void CCoreState::TellLatchWatchers(int port)
{
    BYTE value = sfr[port << 4];
    if (portObserver)
        portObserver(port, value);
    if (wiring && (wiringPorts >> port & 1))
        wiring->LatchChanged(port, value);
}

void CCoreState::DrivePins(int port, BYTE level)
{
    BYTE old = Pins(port);
    pinInput[port] = level;
    PinsChanged(port, old);
}

void CCoreState::PinsChanged(int port, BYTE oldPins)
{
    if (Pins(port) == oldPins)
        return;
    if (port == 3) {
        UpdateExternalRequests(*this, oldPins);
        CountPinEdges(*this, oldPins);
    } else if (port == 1 && is8052) {
        Timer2PinsChanged(*this, oldPins);
    }
}

}
