// The 8051 opcode map: for each first byte, the listing prefix, the operand class and
// the fixed text that follows the operand.
#pragma once

#include "zorkit/disasm/OpcodeInfo.h"

// Indexed by the opcode byte.
extern const OPCODEINFO g_opcodeTable[256];

// Instruction length in bytes, indexed by operand class.
extern const unsigned char g_operandLength[];
