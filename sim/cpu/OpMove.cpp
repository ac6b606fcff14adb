// MOV, MOVC, MOVX, PUSH, POP, XCH, XCHD.
#include "sim/cpu/Opcodes.h"

namespace zorkit::sim::cpu {
namespace {

// 74 MOV A,#data (1); 75 MOV direct,#data (2); 76-7F MOV place,#data (1)
template <class Dst>
struct MoveImmediate {
    static void Run(CCoreState& s, BYTE)
    {
        Dst place(s);
        place.Set(s, ImmOperand(s).Get(s));
    }
};

// 85 MOV direct,direct (2), encoded source first; 86-8F MOV direct,src (2)
template <class Src>
struct MoveToDirect {
    static void Run(CCoreState& s, BYTE)
    {
        Src src(s);
        DirOperand place(s);
        place.Set(s, src.Get(s));
    }
};

// A6-AF MOV place,direct (2)
template <class Dst>
struct MoveFromDirect {
    static void Run(CCoreState& s, BYTE)
    {
        Dst place(s);
        place.Set(s, DirOperand(s).Get(s));
    }
};

// E5-EF MOV A,src (1)
template <class Src>
struct MoveToA {
    static void Run(CCoreState& s, BYTE) { s.A() = Src(s).Get(s); }
};

// F5-FF MOV place,A (1)
template <class Dst>
struct MoveFromA {
    static void Run(CCoreState& s, BYTE) { Dst(s).Set(s, s.A()); }
};

// C5-CF XCH A,place (1)
template <class Place>
struct Exchange {
    static void Run(CCoreState& s, BYTE)
    {
        Place place(s);
        BYTE v = place.Get(s);
        place.Set(s, s.A());
        s.A() = v;
    }
};

// MOVX @Ri: Ri drives the low address byte, the P2 latch the high one.
WORD PagedAddress(CCoreState& s, BYTE opcode) { return WORD(s.Sfr(P2) << 8 | s.R(opcode & 1)); }

}

void AddMoves(COpcodeTable& table)
{
    table.SetOperandRow<MoveImmediate, AccOperand>(0x70, 1);
    table.Set(0x75, &MoveImmediate<DirOperand>::Run, 2);
    table.SetOperandColumns<MoveToDirect>(0x80, 2);
    table.SetOperandColumns<MoveFromDirect>(0xA0, 2, 6);
    table.SetOperandColumns<MoveToA>(0xE0, 1);
    table.SetOperandColumns<MoveFromA>(0xF0, 1);
    table.SetOperandColumns<Exchange>(0xC0, 1);
    // 90 MOV DPTR,#data16 (2), high byte first
    table.Set(0x90, [](CCoreState& s, BYTE) {
        s.Sfr(DPH) = s.Fetch();
        s.Sfr(DPL) = s.Fetch();
    }, 2);
    // 83 MOVC A,@A+PC (2), PC of the next instruction; 93 MOVC A,@A+DPTR (2)
    table.Set(0x83, [](CCoreState& s, BYTE) { s.A() = s.code[WORD(s.pc + s.A())]; }, 2);
    table.Set(0x93, [](CCoreState& s, BYTE) { s.A() = s.code[WORD(s.Dptr() + s.A())]; }, 2);
    // E0 MOVX A,@DPTR; E2-E3 MOVX A,@Ri; F0 MOVX @DPTR,A; F2-F3 MOVX @Ri,A (2)
    table.Set(0xE0, [](CCoreState& s, BYTE) { s.A() = s.ReadExternal(s.Dptr()); }, 2);
    table.Set(0xF0, [](CCoreState& s, BYTE) { s.WriteExternal(s.Dptr(), s.A()); }, 2);
    for (int opcode : {0xE2, 0xE3})
        table.Set(opcode, [](CCoreState& s, BYTE op) { s.A() = s.ReadExternal(PagedAddress(s, op)); }, 2);
    for (int opcode : {0xF2, 0xF3})
        table.Set(opcode, [](CCoreState& s, BYTE op) { s.WriteExternal(PagedAddress(s, op), s.A()); }, 2);
    // C0 PUSH direct (2): SP moves first, so PUSH SP stores the new SP.
    table.Set(0xC0, [](CCoreState& s, BYTE) {
        DirOperand src(s);
        BYTE at = ++s.Sfr(SP);
        s.WriteIndirect(at, src.Get(s));
    }, 2);
    // D0 POP direct (2): SP moves before the store, so POP SP leaves the popped value.
    table.Set(0xD0, [](CCoreState& s, BYTE) {
        DirOperand place(s);
        place.Set(s, s.Pop());
    }, 2);
    // D6-D7 XCHD A,@Ri (1): low nibbles only
    for (int opcode : {0xD6, 0xD7})
        table.Set(opcode, [](CCoreState& s, BYTE op) {
            BYTE address = s.R(op & 1);
            BYTE cell = s.ReadIndirect(address);
            BYTE a = s.A();
            s.A() = BYTE((a & 0xF0) | (cell & 0x0F));
            s.WriteIndirect(address, BYTE((cell & 0xF0) | (a & 0x0F)));
        }, 1);
}

}
