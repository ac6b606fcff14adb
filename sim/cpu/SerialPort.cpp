#include "sim/cpu/SerialPort.h"

#include "sim/cpu/CoreState.h"

namespace zorkit::sim::cpu {
namespace {

int Mode(const CCoreState& s) { return s.Sfr(SCON) >> 6; }

// Bits on the line: mode 0 eight data bits, mode 1 start, eight, stop, modes 2 and 3 one more.
unsigned FrameBits(int mode) { return mode == 0 ? 8 : mode == 1 ? 10 : 11; }

constexpr std::uint64_t kTicksPerBit = 16;

// The divide-by-16 counter's next rollover after `ticks`: a frame written to SBUF starts there.
std::uint64_t NextRollover(std::uint64_t ticks) { return (ticks / kTicksPerBit + 1) * kTicksPerBit; }

// Times `flight` for the current mode; `timer2` says whether timer 2 clocks this direction.
void Time(CCoreState& s, CFrameInFlight& flight, bool timer2, bool sending)
{
    int mode = Mode(s);
    // A receiver ends with the stop bit; TI rises as it begins.
    unsigned bits = FrameBits(mode) - (sending && mode != 0 ? 1 : 0);
    bool smod = s.Sfr(PCON) & kSMOD;
    flight.active = true;
    flight.byOverflows = mode == 1 || mode == 3;
    flight.onTimer2 = timer2 && s.is8052;
    if (flight.byOverflows) {
        std::uint64_t now = (flight.onTimer2 ? s.serial.timer2 : s.serial.timer1).ticks;
        flight.start = sending ? NextRollover(now) : now;
        flight.end = flight.start + bits * kTicksPerBit;
        flight.bitsShown = 0;
        return;
    }
    if (mode == 0) {
        flight.end = s.cycles + bits;
        return;
    }
    // Mode 2's counter runs on the oscillator halved, and halved again unless SMOD is
    // set: six or three ticks a machine cycle.
    std::uint64_t perCycle = smod ? 6 : 3;
    std::uint64_t now = s.cycles * perCycle;
    std::uint64_t end = (sending ? NextRollover(now) : now) + bits * kTicksPerBit;
    flight.end = (end + perCycle - 1) / perCycle;
}

// The level of bit `index` of a frame on the line, the start bit first.
bool BitLevel(const CSerialFrame& frame, int mode, unsigned index)
{
    if (index == 0)
        return false;
    if (index <= 8)
        return frame.data >> (index - 1) & 1;
    return index == 9 && mode != 1 ? frame.ninth : true;
}

// Tells the wiring of the bits of `flight` on `line` that have begun by `ticks`.
void ShowBits(CCoreState& s, CFrameInFlight& flight, int line, std::uint64_t ticks)
{
    if (ticks < flight.start)
        return;
    unsigned begun = unsigned((ticks - flight.start) / kTicksPerBit) + 1;
    int mode = Mode(s);
    for (; flight.bitsShown < std::min(begun, FrameBits(mode)); ++flight.bitsShown) {
        bool level = BitLevel(flight.frame, mode, flight.bitsShown);
        if (level == s.serial.lineLevel[std::size_t(line)])
            continue;
        s.serial.lineLevel[std::size_t(line)] = level;
        s.wiring->SerialLineChanged(line, level);
    }
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
    Time(s, serial.receiving, s.Sfr(T2CON) & kRCLK, false);
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
    Time(s, sending, s.Sfr(T2CON) & kTCLK, true);
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
    CBaudClock& clock = fromTimer2 ? serial.timer2 : serial.timer1;
    if (fromTimer2 || (s.Sfr(PCON) & kSMOD)) {
        clock.ticks += n;
    } else {
        unsigned halves = unsigned(clock.halfTick) + n;
        clock.ticks += halves / 2;
        clock.halfTick = halves & 1;
    }
    auto counts = [&](const CFrameInFlight& flight) {
        return flight.active && flight.byOverflows && flight.onTimer2 == fromTimer2;
    };
    if (serial.lineWatched && s.wiring) {
        if (counts(serial.sending))
            ShowBits(s, serial.sending, 1, clock.ticks);
        if (counts(serial.receiving))
            ShowBits(s, serial.receiving, 0, clock.ticks);
    }
    auto due = [&](const CFrameInFlight& flight) { return counts(flight) && clock.ticks >= flight.end; };
    if (due(serial.sending))
        FinishTransmit(s);
    if (due(serial.receiving))
        FinishReceive(s);
}

}
