#include "sim/cpu/Timer2.h"

#include "sim/cpu/SerialPort.h"

namespace zorkit::sim::cpu {
namespace {

constexpr unsigned kBaudCountsPerCycle = 6;

bool IsBaudGenerator(const CCoreState& s) { return s.Sfr(T2CON) & (kRCLK | kTCLK); }
bool IsCapture(const CCoreState& s) { return (s.Sfr(T2CON) & kCPRL2) && !IsBaudGenerator(s); }
bool CountsDown(const CCoreState& s)
{
    return (s.Sfr(T2MOD) & kDCEN) && !IsCapture(s) && !IsBaudGenerator(s) && !(s.Pins(1) & kPinT2EX);
}

unsigned Value(const CCoreState& s) { return unsigned(s.Sfr(TH2)) << 8 | s.Sfr(TL2); }
unsigned Reload(const CCoreState& s) { return unsigned(s.Sfr(RCAP2H)) << 8 | s.Sfr(RCAP2L); }
void SetValue(CCoreState& s, unsigned value)
{
    s.Sfr(TL2) = BYTE(value);
    s.Sfr(TH2) = BYTE(value >> 8);
}

// Counts down to RCAP2, then starts again at FFFF; each wrap sets TF2 and toggles EXF2.
void CountDown(CCoreState& s, unsigned n)
{
    unsigned value = Value(s);
    unsigned reload = Reload(s);
    for (unsigned i = 0; i < n; ++i) {
        if (value == reload) {
            value = 0xFFFF;
            s.Sfr(T2CON) = BYTE((s.Sfr(T2CON) | kTF2) ^ kEXF2);
        } else {
            value = (value - 1) & 0xFFFF;
        }
    }
    SetValue(s, value);
}

void CountUp(CCoreState& s, unsigned n)
{
    unsigned value = Value(s) + n;
    if (value <= 0xFFFF) {
        SetValue(s, value);
        return;
    }
    // The first overflow, then one per period of the reload (none in capture mode,
    // which wraps to 0000).
    unsigned reload = IsCapture(s) ? 0 : Reload(s);
    unsigned period = 0x10000 - reload;
    unsigned beyond = value - 0x10000;
    unsigned overflows = 1 + beyond / period;
    SetValue(s, reload + beyond % period);
    if (IsBaudGenerator(s)) {
        SerialBaudTicks(s, overflows, true);
        return;
    }
    BYTE control = s.Sfr(T2CON) | kTF2;
    if (s.Sfr(T2MOD) & kDCEN && !IsCapture(s))
        control ^= BYTE(overflows & 1 ? kEXF2 : 0);
    s.Sfr(T2CON) = control;
}

void Count(CCoreState& s, unsigned n)
{
    if (CountsDown(s))
        CountDown(s, n);
    else
        CountUp(s, n);
}

}

void TickTimer2(CCoreState& s, unsigned cycles)
{
    BYTE control = s.Sfr(T2CON);
    if (!s.is8052 || !(control & kTR2) || (control & kCT2))
        return;
    Count(s, IsBaudGenerator(s) ? cycles * kBaudCountsPerCycle : cycles);
}

void Timer2PinsChanged(CCoreState& s, BYTE oldPins)
{
    BYTE fallen = BYTE(oldPins & ~s.Pins(1));
    BYTE control = s.Sfr(T2CON);
    if ((fallen & kPinT2) && (control & (kTR2 | kCT2)) == (kTR2 | kCT2))
        Count(s, 1);
    // With DCEN in auto-reload mode T2EX sets the direction and triggers nothing.
    bool direction = (s.Sfr(T2MOD) & kDCEN) && !IsCapture(s) && !IsBaudGenerator(s);
    if (!(fallen & kPinT2EX) || !(control & kEXEN2) || direction)
        return;
    if (IsCapture(s)) {
        s.Sfr(RCAP2L) = s.Sfr(TL2);
        s.Sfr(RCAP2H) = s.Sfr(TH2);
    } else if (!IsBaudGenerator(s)) {
        SetValue(s, Reload(s));
    }
    s.Sfr(T2CON) |= kEXF2;
}

}
