// The opcode table: for each first byte the handler that executes the instruction and
// its length in machine cycles. The instruction families fill their own rows.
#pragma once

#include <array>

#include "sim/cpu/CoreState.h"
#include "sim/cpu/Operands.h"

namespace zorkit::sim::cpu {

// The handler runs with PC past the opcode byte and fetches its own operands.
using OpcodeHandler = void (*)(CCoreState&, BYTE opcode);

struct COpcode {
    OpcodeHandler execute = nullptr;
    // 0 for the one undefined opcode, A5.
    BYTE cycles = 0;
};

class COpcodeTable {
public:
    void Set(int opcode, OpcodeHandler execute, BYTE cycles) { m_entries[opcode] = {execute, cycles}; }
    const COpcode& operator[](BYTE opcode) const { return m_entries[opcode]; }

    // Columns 5..F of a row, which take the operand in the order direct, @R0, @R1,
    // R0..R7: Op<Operand>::Run for each.
    template <template <class> class Op>
    void SetOperandColumns(int row, BYTE cycles, int firstColumn = 5)
    {
        OpcodeHandler handlers[11] = {&Op<DirOperand>::Run, &Op<IndOperand<0>>::Run, &Op<IndOperand<1>>::Run,
            &Op<RegOperand<0>>::Run, &Op<RegOperand<1>>::Run, &Op<RegOperand<2>>::Run, &Op<RegOperand<3>>::Run,
            &Op<RegOperand<4>>::Run, &Op<RegOperand<5>>::Run, &Op<RegOperand<6>>::Run, &Op<RegOperand<7>>::Run};
        for (int column = firstColumn; column <= 0xF; ++column)
            Set(row + column, handlers[column - 5], cycles);
    }
    // Columns 8..F, which take R0..R7: Op<Operand>::Run for each.
    template <template <class> class Op>
    void SetRegisterColumns(int row, BYTE cycles)
    {
        OpcodeHandler handlers[8] = {&Op<RegOperand<0>>::Run, &Op<RegOperand<1>>::Run, &Op<RegOperand<2>>::Run,
            &Op<RegOperand<3>>::Run, &Op<RegOperand<4>>::Run, &Op<RegOperand<5>>::Run, &Op<RegOperand<6>>::Run,
            &Op<RegOperand<7>>::Run};
        for (int n = 0; n < 8; ++n)
            Set(row + 8 + n, handlers[n], cycles);
    }
    // Column 4 with its own operand, then columns 5..F.
    template <template <class> class Op, class Column4>
    void SetOperandRow(int row, BYTE cycles)
    {
        Set(row + 4, &Op<Column4>::Run, cycles);
        SetOperandColumns<Op>(row, cycles);
    }

private:
    std::array<COpcode, 256> m_entries{};
};

// Each family sets the opcodes it executes.
void AddArithmetic(COpcodeTable& table);
void AddLogic(COpcodeTable& table);
void AddMoves(COpcodeTable& table);
void AddBranches(COpcodeTable& table);
void AddBitOperations(COpcodeTable& table);

// The complete table, built once.
const COpcodeTable& Opcodes();

}
