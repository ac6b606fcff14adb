// Operand places for the instruction handlers. Constructing one fetches its operand
// bytes, so handlers construct them in the order the instruction encodes them.
#pragma once

#include "sim/cpu/CoreState.h"

namespace zorkit::sim::cpu {

struct AccOperand {
    explicit AccOperand(CCoreState&) {}
    BYTE Get(CCoreState& s) const { return s.A(); }
    BYTE GetLatch(CCoreState& s) const { return s.A(); }
    void Set(CCoreState& s, BYTE v) const { s.A() = v; }
};

struct ImmOperand {
    explicit ImmOperand(CCoreState& s) : value(s.Fetch()) {}
    BYTE Get(CCoreState&) const { return value; }
    BYTE value;
};

struct DirOperand {
    explicit DirOperand(CCoreState& s) : address(s.Fetch()) {}
    BYTE Get(CCoreState& s) const { return s.ReadDirect(address); }
    // What a read-modify-write instruction reads: a port's latch, not its pins.
    BYTE GetLatch(CCoreState& s) const { return s.ReadDirectLatch(address); }
    void Set(CCoreState& s, BYTE v) const { s.WriteDirect(address, v); }
    BYTE address;
};

// @R0, @R1
template <int i>
struct IndOperand {
    explicit IndOperand(CCoreState& s) : address(s.R(i)) {}
    BYTE Get(CCoreState& s) const { return s.ReadIndirect(address); }
    BYTE GetLatch(CCoreState& s) const { return s.ReadIndirect(address); }
    void Set(CCoreState& s, BYTE v) const { s.WriteIndirect(address, v); }
    BYTE address;
};

// R0..R7 of the selected bank
template <int n>
struct RegOperand {
    explicit RegOperand(CCoreState&) {}
    BYTE Get(CCoreState& s) const { return s.R(n); }
    BYTE GetLatch(CCoreState& s) const { return s.R(n); }
    void Set(CCoreState& s, BYTE v) const { s.R(n) = v; }
};

}
