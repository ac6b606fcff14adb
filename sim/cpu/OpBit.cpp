// The Boolean processor: CLR, SETB, CPL, ANL, ORL and MOV on bits and on C.
#include "sim/cpu/Opcodes.h"

namespace zorkit::sim::cpu {
namespace {

// 82 ANL C,bit; B0 ANL C,/bit; 72 ORL C,bit; A0 ORL C,/bit (2)
template <bool isAnd, bool inverted>
void CombineCarry(CCoreState& s, BYTE)
{
    bool bit = s.ReadBit(s.Fetch()) != inverted;
    s.SetCarry(isAnd ? s.Carry() && bit : s.Carry() || bit);
}

}

void AddBitOperations(COpcodeTable& table)
{
    // C2 CLR bit, D2 SETB bit, B2 CPL bit (1)
    table.Set(0xC2, [](CCoreState& s, BYTE) { s.WriteBit(s.Fetch(), false); }, 1);
    table.Set(0xD2, [](CCoreState& s, BYTE) { s.WriteBit(s.Fetch(), true); }, 1);
    table.Set(0xB2, [](CCoreState& s, BYTE) {
        BYTE bit = s.Fetch();
        s.WriteBit(bit, !s.ReadBitLatch(bit));
    }, 1);
    // C3 CLR C, D3 SETB C, B3 CPL C (1)
    table.Set(0xC3, [](CCoreState& s, BYTE) { s.SetCarry(false); }, 1);
    table.Set(0xD3, [](CCoreState& s, BYTE) { s.SetCarry(true); }, 1);
    table.Set(0xB3, [](CCoreState& s, BYTE) { s.SetCarry(!s.Carry()); }, 1);
    table.Set(0x82, &CombineCarry<true, false>, 2);
    table.Set(0xB0, &CombineCarry<true, true>, 2);
    table.Set(0x72, &CombineCarry<false, false>, 2);
    table.Set(0xA0, &CombineCarry<false, true>, 2);
    // A2 MOV C,bit (1); 92 MOV bit,C (2)
    table.Set(0xA2, [](CCoreState& s, BYTE) { s.SetCarry(s.ReadBit(s.Fetch())); }, 1);
    table.Set(0x92, [](CCoreState& s, BYTE) { s.WriteBit(s.Fetch(), s.Carry()); }, 2);
}

}
