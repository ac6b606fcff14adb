#include "sim/cpu/Opcodes.h"

namespace zorkit::sim::cpu {
namespace {

COpcodeTable Build()
{
    COpcodeTable table;
    AddArithmetic(table);
    AddLogic(table);
    AddMoves(table);
    AddBranches(table);
    AddBitOperations(table);
    return table;
}

}

const COpcodeTable& Opcodes()
{
    static const COpcodeTable table = Build();
    return table;
}

}
