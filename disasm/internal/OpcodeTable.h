// The 8051 opcode map: for each first byte, the listing prefix, the operand class and
// the fixed text that follows the operand.
#pragma once

// Operand classes; each one has its own handler in CDisassemble.
enum OPERANDCLASS : unsigned char {
    OPD_NONE,          // registers only or no operand: length1
    OPD_BYTE,          // one 8-bit field (#data, direct, bit, /bit): length20
    OPD_REL,           // rel: length2r
    OPD_DIRECT_DATA,   // direct,#data: length3n
    OPD_BYTE_REL,      // 8-bit field then rel: length3
    OPD_ADDR16,        // addr16 or #data16: ljump
    OPD_ADDR11,        // addr11: acall
    OPD_DIRECT_DIRECT, // MOV direct,direct, encoded source first: length3d
};

struct OPCODEINFO {
    const char* prefix;   // mnemonic up to the first variable field
    OPERANDCLASS operands;
    const char* suffix;   // fixed second operand after a length20 field, e.g. ",A"
};

// Indexed by the opcode byte.
extern const OPCODEINFO g_opcodeTable[256];

// Instruction length in bytes, indexed by operand class.
extern const unsigned char g_operandLength[];
