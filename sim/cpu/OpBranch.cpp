// Jumps, calls, returns and the conditional branches (JC, JZ, CJNE, DJNZ...).
#include "sim/cpu/Interrupts.h"
#include "sim/cpu/Opcodes.h"

namespace zorkit::sim::cpu {
namespace {

// 40 JC, 50 JNC, 60 JZ, 70 JNZ rel (2)
template <bool (*Condition)(CCoreState&)>
void JumpIf(CCoreState& s, BYTE)
{
    BYTE rel = s.Fetch();
    if (Condition(s))
        s.Jump(rel);
}

bool IsCarry(CCoreState& s) { return s.Carry(); }
bool IsNoCarry(CCoreState& s) { return !s.Carry(); }
bool IsZero(CCoreState& s) { return s.A() == 0; }
bool IsNotZero(CCoreState& s) { return s.A() != 0; }

// B4 CJNE A,#data; B5 CJNE A,direct; B6-BF CJNE place,#data (2). CY = left < right.
template <class Left, class Right>
struct CompareJump {
    static void Run(CCoreState& s, BYTE)
    {
        Left left(s);
        Right right(s);
        BYTE rel = s.Fetch();
        BYTE a = left.Get(s);
        BYTE b = right.Get(s);
        s.SetCarry(a < b);
        if (a != b)
            s.Jump(rel);
    }
};
template <class Left>
using CompareImmediateJump = CompareJump<Left, ImmOperand>;

// D5 DJNZ direct,rel; D8-DF DJNZ Rn,rel (2)
template <class Place>
struct DecrementJump {
    static void Run(CCoreState& s, BYTE)
    {
        Place place(s);
        BYTE rel = s.Fetch();
        BYTE v = BYTE(place.GetLatch(s) - 1);
        place.Set(s, v);
        if (v != 0)
            s.Jump(rel);
    }
};

// 10 JBC, 20 JB, 30 JNB bit,rel (2); JBC clears the bit it jumps on.
template <bool jumpOnSet, bool clear>
void JumpOnBit(CCoreState& s, BYTE)
{
    BYTE bit = s.Fetch();
    BYTE rel = s.Fetch();
    // JBC reads the latch, JB and JNB the pins.
    bool set = clear ? s.ReadBitLatch(bit) : s.ReadBit(bit);
    if (set != jumpOnSet)
        return;
    if (clear)
        s.WriteBit(bit, false);
    s.Jump(rel);
}

// The 2 KB page of the next instruction, with the opcode's top three bits as A10-A8.
WORD PageAddress(CCoreState& s, BYTE opcode)
{
    BYTE low = s.Fetch();
    return WORD((s.pc & 0xF800) | (opcode & 0xE0) << 3 | low);
}

WORD FetchAddress16(CCoreState& s)
{
    BYTE high = s.Fetch();
    return WORD(high << 8 | s.Fetch());
}

}

void AddBranches(COpcodeTable& table)
{
    // 00 NOP (1)
    table.Set(0x00, [](CCoreState&, BYTE) {}, 1);
    // x1 AJMP addr11 (even rows), ACALL addr11 (odd rows) (2)
    for (int row = 0x00; row <= 0xE0; row += 0x20) {
        table.Set(row + 0x01, [](CCoreState& s, BYTE op) { s.pc = PageAddress(s, op); }, 2);
        table.Set(row + 0x11, [](CCoreState& s, BYTE op) {
            WORD target = PageAddress(s, op);
            s.PushPc();
            s.pc = target;
        }, 2);
    }
    // 02 LJMP, 12 LCALL addr16 (2)
    table.Set(0x02, [](CCoreState& s, BYTE) { s.pc = FetchAddress16(s); }, 2);
    table.Set(0x12, [](CCoreState& s, BYTE) {
        WORD target = FetchAddress16(s);
        s.PushPc();
        s.pc = target;
    }, 2);
    // 22 RET, 32 RETI (2)
    table.Set(0x22, [](CCoreState& s, BYTE) { s.PopPc(); }, 2);
    table.Set(0x32, [](CCoreState& s, BYTE) { ReturnFromInterrupt(s); }, 2);
    // 73 JMP @A+DPTR, 80 SJMP rel (2)
    table.Set(0x73, [](CCoreState& s, BYTE) { s.pc = WORD(s.Dptr() + s.A()); }, 2);
    table.Set(0x80, [](CCoreState& s, BYTE) { s.Jump(s.Fetch()); }, 2);
    table.Set(0x40, &JumpIf<IsCarry>, 2);
    table.Set(0x50, &JumpIf<IsNoCarry>, 2);
    table.Set(0x60, &JumpIf<IsZero>, 2);
    table.Set(0x70, &JumpIf<IsNotZero>, 2);
    table.Set(0x10, &JumpOnBit<true, true>, 2);
    table.Set(0x20, &JumpOnBit<true, false>, 2);
    table.Set(0x30, &JumpOnBit<false, false>, 2);
    table.Set(0xB4, &CompareJump<AccOperand, ImmOperand>::Run, 2);
    table.Set(0xB5, &CompareJump<AccOperand, DirOperand>::Run, 2);
    table.SetOperandColumns<CompareImmediateJump>(0xB0, 2, 6);
    table.Set(0xD5, &DecrementJump<DirOperand>::Run, 2);
    table.SetRegisterColumns<DecrementJump>(0xD0, 2);
}

}
