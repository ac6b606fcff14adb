// ADD, ADDC, SUBB, INC, DEC, MUL, DIV, DA.
#include "sim/cpu/Alu.h"
#include "sim/cpu/Opcodes.h"

namespace zorkit::sim::cpu {
namespace {

// 24-2F ADD A,src (1)
template <class Src>
struct Add {
    static void Run(CCoreState& s, BYTE) { AddToA(s, Src(s).Get(s), false); }
};

// 34-3F ADDC A,src (1)
template <class Src>
struct AddWithCarry {
    static void Run(CCoreState& s, BYTE) { AddToA(s, Src(s).Get(s), s.Carry()); }
};

// 94-9F SUBB A,src (1)
template <class Src>
struct Subtract {
    static void Run(CCoreState& s, BYTE) { SubtractFromA(s, Src(s).Get(s)); }
};

// 04-0F INC place (1); no flags; a port's latch is read, not its pins
template <class Place>
struct Increment {
    static void Run(CCoreState& s, BYTE)
    {
        Place place(s);
        place.Set(s, BYTE(place.GetLatch(s) + 1));
    }
};

// 14-1F DEC place (1); no flags
template <class Place>
struct Decrement {
    static void Run(CCoreState& s, BYTE)
    {
        Place place(s);
        place.Set(s, BYTE(place.GetLatch(s) - 1));
    }
};

}

void AddArithmetic(COpcodeTable& table)
{
    table.SetOperandRow<Add, ImmOperand>(0x20, 1);
    table.SetOperandRow<AddWithCarry, ImmOperand>(0x30, 1);
    table.SetOperandRow<Subtract, ImmOperand>(0x90, 1);
    table.SetOperandRow<Increment, AccOperand>(0x00, 1);
    table.SetOperandRow<Decrement, AccOperand>(0x10, 1);
    // A3 INC DPTR (2)
    table.Set(0xA3, [](CCoreState& s, BYTE) { s.SetDptr(WORD(s.Dptr() + 1)); }, 2);
    // A4 MUL AB (4), 84 DIV AB (4)
    table.Set(0xA4, [](CCoreState& s, BYTE) { Multiply(s); }, 4);
    table.Set(0x84, [](CCoreState& s, BYTE) { Divide(s); }, 4);
    // D4 DA A (1)
    table.Set(0xD4, [](CCoreState& s, BYTE) { DecimalAdjust(s); }, 1);
}

}
