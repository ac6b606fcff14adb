#include "sim/cpu/Timers.h"

#include "sim/cpu/SerialPort.h"
#include "sim/cpu/Timer2.h"

namespace zorkit::sim::cpu {
namespace {

struct CTimer {
    BYTE low, high;   // TLx, THx
    BYTE run;         // TRx in TCON
    BYTE overflow;    // TFx in TCON
    int modeShift;    // position of the timer's nibble in TMOD
    BYTE gatePin;     // INTx
    BYTE countPin;    // Tx
};

constexpr CTimer kTimers[2] = {
    {TL0, TH0, kTR0, kTF0, 0, kPinInt0, kPinT0},
    {TL1, TH1, kTR1, kTF1, 4, kPinInt1, kPinT1},
};

constexpr BYTE kCounterMode = 0x04;
constexpr BYTE kGate = 0x08;

int Mode(const CCoreState& s, const CTimer& timer) { return s.Sfr(TMOD) >> timer.modeShift & 0x03; }
bool IsCounter(const CCoreState& s, const CTimer& timer) { return s.Sfr(TMOD) >> timer.modeShift & kCounterMode; }

// With GATE set, the timer counts only while its INTx pin is high.
bool IsGateOpen(const CCoreState& s, const CTimer& timer)
{
    BYTE control = BYTE(s.Sfr(TMOD) >> timer.modeShift);
    return !(control & kGate) || (s.Pins(3) & timer.gatePin);
}

bool IsEnabled(const CCoreState& s, const CTimer& timer) { return (s.Sfr(TCON) & timer.run) && IsGateOpen(s, timer); }

// Counts n and reports an overflow by setting `flag` (none for 0); returns the overflows.
unsigned Count(CCoreState& s, const CTimer& timer, int mode, unsigned n, BYTE flag)
{
    BYTE& low = s.Sfr(timer.low);
    BYTE& high = s.Sfr(timer.high);
    unsigned overflow = 0;
    switch (mode) {
    case 0: { // THx and the low five bits of TLx
        unsigned value = (unsigned(high) << 5 | (low & 0x1F)) + n;
        overflow = value >> 13;
        high = BYTE(value >> 5);
        low = BYTE((low & 0xE0) | (value & 0x1F));
        break;
    }
    case 1: {
        unsigned value = (unsigned(high) << 8 | low) + n;
        overflow = value >> 16;
        high = BYTE(value >> 8);
        low = BYTE(value);
        break;
    }
    case 2:
        for (unsigned i = 0; i < n; ++i)
            if (++low == 0) {
                low = high;
                ++overflow;
            }
        break;
    default: { // mode 3 of timer 0: TL0 alone here, TH0 in TickTimers
        unsigned value = unsigned(low) + n;
        overflow = value >> 8;
        low = BYTE(value);
        break;
    }
    }
    if (overflow)
        s.Sfr(TCON) |= flag;
    return overflow;
}

void Advance(CCoreState& s, int index, unsigned n, bool asCounter)
{
    const CTimer& timer = kTimers[index];
    if (IsCounter(s, timer) != asCounter)
        return;
    int mode = Mode(s, timer);
    // Timer 0 in mode 3 takes TR1 and TF1 for TH0: timer 1 then runs whenever it is
    // out of mode 3 (switching it into mode 3 stops it) and flags nothing.
    bool split = index == 1 && Mode(s, kTimers[0]) == 3;
    if (split ? !IsGateOpen(s, timer) : !IsEnabled(s, timer))
        return;
    if (index == 1 && mode == 3)
        return;
    unsigned overflows = Count(s, timer, mode, n, split ? 0 : timer.overflow);
    // Timer 1 clocks the serial port's baud counter, also while timer 0 is split.
    if (index == 1 && overflows)
        SerialBaudTicks(s, overflows, false);
}

}

void TickTimers(CCoreState& s, unsigned cycles)
{
    Advance(s, 0, cycles, false);
    if (Mode(s, kTimers[0]) == 3 && (s.Sfr(TCON) & kTR1)) {
        unsigned value = unsigned(s.Sfr(TH0)) + cycles;
        s.Sfr(TH0) = BYTE(value);
        if (value > 0xFF)
            s.Sfr(TCON) |= kTF1;
    }
    Advance(s, 1, cycles, false);
    TickTimer2(s, cycles);
}

void CountPinEdges(CCoreState& s, BYTE oldPins)
{
    BYTE fallen = BYTE(oldPins & ~s.Pins(3));
    for (int index = 0; index < 2; ++index)
        if (fallen & kTimers[index].countPin)
            Advance(s, index, 1, true);
}

}
