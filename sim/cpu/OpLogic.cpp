// ANL, ORL, XRL on bytes; CLR, CPL, SWAP and the rotations of A.
#include "sim/cpu/Opcodes.h"

namespace zorkit::sim::cpu {
namespace {

struct And {
    static BYTE Apply(BYTE a, BYTE b) { return a & b; }
};
struct Or {
    static BYTE Apply(BYTE a, BYTE b) { return a | b; }
};
struct Xor {
    static BYTE Apply(BYTE a, BYTE b) { return a ^ b; }
};

// x4-xF op A,src (1) for ORL (4x), ANL (5x), XRL (6x)
template <class Op>
struct OnA {
    template <class Src>
    struct From {
        static void Run(CCoreState& s, BYTE) { s.A() = Op::Apply(s.A(), Src(s).Get(s)); }
    };
};

// x2 op direct,A (1); x3 op direct,#data (2). The port latch is read, not the pins.
template <class Op, class Src>
struct OnDirect {
    static void Run(CCoreState& s, BYTE)
    {
        DirOperand place(s);
        BYTE v = Src(s).Get(s);
        place.Set(s, Op::Apply(place.GetLatch(s), v));
    }
};

template <class Op>
void AddLogicRow(COpcodeTable& table, int row)
{
    table.Set(row + 2, &OnDirect<Op, AccOperand>::Run, 1);
    table.Set(row + 3, &OnDirect<Op, ImmOperand>::Run, 2);
    table.SetOperandRow<OnA<Op>::template From, ImmOperand>(row, 1);
}

}

void AddLogic(COpcodeTable& table)
{
    AddLogicRow<Or>(table, 0x40);
    AddLogicRow<And>(table, 0x50);
    AddLogicRow<Xor>(table, 0x60);
    // E4 CLR A, F4 CPL A, C4 SWAP A (1)
    table.Set(0xE4, [](CCoreState& s, BYTE) { s.A() = 0; }, 1);
    table.Set(0xF4, [](CCoreState& s, BYTE) { s.A() = BYTE(~s.A()); }, 1);
    table.Set(0xC4, [](CCoreState& s, BYTE) { s.A() = BYTE(s.A() << 4 | s.A() >> 4); }, 1);
    // 03 RR A, 23 RL A, 13 RRC A, 33 RLC A (1)
    table.Set(0x03, [](CCoreState& s, BYTE) { s.A() = BYTE(s.A() >> 1 | s.A() << 7); }, 1);
    table.Set(0x23, [](CCoreState& s, BYTE) { s.A() = BYTE(s.A() << 1 | s.A() >> 7); }, 1);
    table.Set(0x13, [](CCoreState& s, BYTE) {
        bool out = s.A() & 0x01;
        s.A() = BYTE(s.A() >> 1 | (s.Carry() ? 0x80 : 0));
        s.SetCarry(out);
    }, 1);
    table.Set(0x33, [](CCoreState& s, BYTE) {
        bool out = s.A() & 0x80;
        s.A() = BYTE(s.A() << 1 | (s.Carry() ? 0x01 : 0));
        s.SetCarry(out);
    }, 1);
}

}
