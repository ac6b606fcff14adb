#include "sim/cpu/Interrupts.h"

namespace zorkit::sim::cpu {
namespace {

struct CSource {
    BYTE enable;          // bit in IE (and in IP for its priority)
    BYTE vector;
    BYTE flagRegister;    // TCON or SCON
    BYTE flags;           // request bits in that register
    BYTE clearedOnCall;   // cleared by the hardware when the call is made
};

// In polling order.
constexpr CSource kSources[] = {
    {0x01, 0x03, TCON, kIE0, kIE0},
    {0x02, 0x0B, TCON, kTF0, kTF0},
    {0x04, 0x13, TCON, kIE1, kIE1},
    {0x08, 0x1B, TCON, kTF1, kTF1},
    {0x10, 0x23, SCON, kRI | kTI, 0},
    // Timer 2 of the 8052 (T2CON stays 0 on an 8051).
    {kET2, 0x2B, T2CON, kTF2 | kEXF2, 0},
};

constexpr BYTE kLowLevel = 0x01;
constexpr BYTE kHighLevel = 0x02;

}

unsigned ServiceInterrupts(CCoreState& s)
{
    if (s.interruptHold) {
        s.interruptHold = false;
        return 0;
    }
    BYTE enabled = s.Sfr(IE);
    if (!(enabled & kEA) || (s.inService & kHighLevel))
        return 0;
    const CSource* chosen = nullptr;
    for (const CSource& source : kSources) {
        if (!(enabled & source.enable) || !(s.Sfr(source.flagRegister) & source.flags))
            continue;
        bool high = s.Sfr(IP) & source.enable;
        if (high) {
            chosen = &source;
            break;
        }
        if (!chosen && !(s.inService & kLowLevel))
            chosen = &source;
    }
    if (!chosen)
        return 0;
    bool high = s.Sfr(IP) & chosen->enable;
    // Level-triggered external requests follow the pin and are not cleared.
    BYTE cleared = chosen->clearedOnCall;
    if (cleared == kIE0 && !(s.Sfr(TCON) & kIT0))
        cleared = 0;
    if (cleared == kIE1 && !(s.Sfr(TCON) & kIT1))
        cleared = 0;
    s.Sfr(chosen->flagRegister) &= BYTE(~cleared);
    s.inService |= high ? kHighLevel : kLowLevel;
    s.PushPc();
    s.pc = chosen->vector;
    return 2;
}

void ReturnFromInterrupt(CCoreState& s)
{
    s.PopPc();
    s.inService &= (s.inService & kHighLevel) ? BYTE(~kHighLevel) : BYTE(~kLowLevel);
    s.interruptHold = true;
}

void UpdateExternalRequests(CCoreState& s, BYTE oldPins)
{
    struct CInput {
        BYTE pin, typeBit, flag;
    };
    constexpr CInput kInputs[] = {{kPinInt0, kIT0, kIE0}, {kPinInt1, kIT1, kIE1}};
    BYTE p3 = s.Pins(3);
    BYTE& tcon = s.Sfr(TCON);
    for (const CInput& input : kInputs) {
        bool low = !(p3 & input.pin);
        if (!(tcon & input.typeBit))
            tcon = BYTE(low ? tcon | input.flag : tcon & ~input.flag);
        else if (low && (oldPins & input.pin))
            tcon |= input.flag;
    }
}

}
