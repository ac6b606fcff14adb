#include "sim/cpu/SerialPort.h"

#include "sim/cpu/CoreState.h"

namespace zorkit::sim::cpu {
namespace {

constexpr unsigned kClocksPerCycle = 12;

int Mode(const CCoreState& s) { return s.Sfr(SCON) >> 6; }

// Bits on the line: mode 0 eight data bits, mode 1 start, eight, stop, modes 2 and 3 one more.
unsigned FrameBits(int mode) { return mode == 0 ? 8 : mode == 1 ? 10 : 11; }

// Times `flight` for the current mode; `timer2` says whether timer 2 clocks this direction.
void Time(CCoreState& s, CFrameInFlight& flight, bool timer2)
{
    int mode = Mode(s);
    unsigned bits = FrameBits(mode);
    bool smod = s.Sfr(PCON) & kSMOD;
    flight.active = true;
    flight.overflows = 0;
    flight.byOverflows = mode == 1 || mode == 3;
    if (flight.byOverflows) {
        // Sixteen baud clocks a bit; timer 1's overflows are halved first unless SMOD is set.
        unsigned perBit = timer2 && s.is8052 ? 16 : smod ? 16 : 32;
        flight.end = std::uint64_t(bits) * perBit;
        return;
    }
    unsigned clocks = mode == 0 ? bits * kClocksPerCycle : bits * (smod ? 32 : 64);
    flight.end = s.cycles + (clocks + kClocksPerCycle - 1) / kClocksPerCycle;
}

void UpdateDeadline(CCoreState& s)
{
    CSerialState& serial = s.serial;
    serial.deadline = CSerialState::kIdle;
    for (const CFrameInFlight* flight : {&serial.sending, &serial.receiving})
        if (flight->active && !flight->byOverflows)
            serial.deadline = std::min(serial.deadline, flight->end);
    s.UpdateNextEvent();
}

// Starts receiving the next frame on RXD, if the receiver takes it.
void StartReceive(CCoreState& s)
{
    CSerialState& serial = s.serial;
    BYTE control = s.Sfr(SCON);
    if (serial.receiving.active || !(control & kREN))
        return;
    if (Mode(s) == 0) {
        // The shift register clocks a byte in whenever REN is set and RI clear; a
        // line nobody drives reads as ones.
        if (control & kRI)
            return;
        serial.receiving.frame = CSerialFrame{0xFF, true};
        if (!serial.incoming.empty()) {
            serial.receiving.frame = serial.incoming.front();
            serial.incoming.pop_front();
        }
    } else {
        if (serial.incoming.empty())
            return;
        serial.receiving.frame = serial.incoming.front();
        serial.incoming.pop_front();
    }
    Time(s, serial.receiving, s.Sfr(T2CON) & kRCLK);
    UpdateDeadline(s);
}

void FinishTransmit(CCoreState& s)
{
    s.serial.sending.active = false;
    s.Sfr(SCON) |= kTI;
    if (s.serialPeer)
        s.serialPeer->Transmitted(s.serial.sending.frame.data, s.serial.sending.frame.ninth);
}

void FinishReceive(CCoreState& s)
{
    CSerialState& serial = s.serial;
    serial.receiving.active = false;
    BYTE control = s.Sfr(SCON);
    const CSerialFrame& frame = serial.receiving.frame;
    int mode = Mode(s);
    // SM2 passes only frames whose ninth bit (the stop bit in mode 1) is set.
    bool taken = mode == 0 || (!(control & kRI) && (!(control & kSM2) || frame.ninth));
    if (taken) {
        s.Sfr(SBUF) = frame.data;
        if (mode != 0)
            control = BYTE(frame.ninth ? control | kRB8 : control & ~kRB8);
        s.Sfr(SCON) = BYTE(control | kRI);
    }
    if (mode != 0)
        StartReceive(s);
}

}

void StartTransmit(CCoreState& s, BYTE data)
{
    CFrameInFlight& sending = s.serial.sending;
    sending.frame = CSerialFrame{data, Mode(s) >= 2 ? bool(s.Sfr(SCON) & kTB8) : true};
    Time(s, sending, s.Sfr(T2CON) & kTCLK);
    UpdateDeadline(s);
}

void SconWritten(CCoreState& s)
{
    StartReceive(s);
}

void ReceiveFrame(CCoreState& s, CSerialFrame frame)
{
    s.serial.incoming.push_back(frame);
    // A receiver that is off loses what comes down the line.
    if (Mode(s) != 0 && !(s.Sfr(SCON) & kREN)) {
        s.serial.incoming.clear();
        return;
    }
    if (Mode(s) != 0)
        StartReceive(s);
}

void SerialDue(CCoreState& s)
{
    CSerialState& serial = s.serial;
    if (serial.sending.active && !serial.sending.byOverflows && serial.sending.end <= s.cycles)
        FinishTransmit(s);
    if (serial.receiving.active && !serial.receiving.byOverflows && serial.receiving.end <= s.cycles)
        FinishReceive(s);
    UpdateDeadline(s);
}

void SerialBaudTicks(CCoreState& s, unsigned n, bool fromTimer2)
{
    CSerialState& serial = s.serial;
    BYTE control = s.Sfr(T2CON);
    auto counts = [&](CFrameInFlight& flight, BYTE timer2Bit) {
        if (!flight.active || !flight.byOverflows || bool(control & timer2Bit) != fromTimer2)
            return false;
        flight.overflows += n;
        return flight.overflows >= flight.end;
    };
    if (counts(serial.sending, kTCLK))
        FinishTransmit(s);
    if (counts(serial.receiving, kRCLK))
        FinishReceive(s);
}

}
