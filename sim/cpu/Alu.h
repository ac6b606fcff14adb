// The arithmetic that sets PSW flags: carry, auxiliary carry and overflow exactly as
// the 8051 does (P follows A by itself).
#pragma once

#include "sim/cpu/CoreState.h"

namespace zorkit::sim::cpu {

// ADD and ADDC.
inline void AddToA(CCoreState& s, BYTE v, bool carryIn)
{
    unsigned a = s.A();
    unsigned c = carryIn ? 1 : 0;
    unsigned sum = a + v + c;
    bool auxCarry = (a & 0x0F) + (v & 0x0F) + c > 0x0F;
    bool overflow = (~(a ^ v) & (a ^ sum) & 0x80) != 0;
    s.SetFlags(sum > 0xFF, auxCarry, overflow);
    s.A() = BYTE(sum);
}

// SUBB: A − v − CY, with CY and AC as borrows.
inline void SubtractFromA(CCoreState& s, BYTE v)
{
    unsigned a = s.A();
    unsigned c = s.Carry() ? 1 : 0;
    unsigned difference = a - v - c;
    bool auxCarry = (a & 0x0F) < (v & 0x0FU) + c;
    bool overflow = ((a ^ v) & (a ^ difference) & 0x80) != 0;
    s.SetFlags(a < v + c, auxCarry, overflow);
    s.A() = BYTE(difference);
}

// DA A: adjusts A after a BCD addition; sets CY on a carry out, never clears it.
inline void DecimalAdjust(CCoreState& s)
{
    unsigned a = s.A();
    bool carry = s.Carry();
    if ((a & 0x0F) > 9 || (s.Sfr(PSW) & kAuxCarry)) {
        a += 0x06;
        carry = carry || a > 0xFF;
        a &= 0xFF;
    }
    if ((a & 0xF0) > 0x90 || carry) {
        a += 0x60;
        carry = carry || a > 0xFF;
        a &= 0xFF;
    }
    s.SetCarry(carry);
    s.A() = BYTE(a);
}

// MUL AB: the product in B:A; OV when it needs B; CY cleared.
inline void Multiply(CCoreState& s)
{
    unsigned product = unsigned(s.A()) * s.Sfr(B);
    s.A() = BYTE(product);
    s.Sfr(B) = BYTE(product >> 8);
    bool aux = s.Sfr(PSW) & kAuxCarry;
    s.SetFlags(false, aux, product > 0xFF);
}

// DIV AB: quotient in A, remainder in B. Division by zero sets OV and leaves A and B
// as they were (the part leaves them undefined).
inline void Divide(CCoreState& s)
{
    bool aux = s.Sfr(PSW) & kAuxCarry;
    BYTE divisor = s.Sfr(B);
    if (divisor == 0) {
        s.SetFlags(false, aux, true);
        return;
    }
    BYTE dividend = s.A();
    s.A() = BYTE(dividend / divisor);
    s.Sfr(B) = BYTE(dividend % divisor);
    s.SetFlags(false, aux, false);
}

}
