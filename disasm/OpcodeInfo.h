// The 8051 opcode map as CDisassemble reads it, for hosts that write instructions
// in a form of their own:
//
//   const OPCODEINFO& info = GetOpcodeInfo(code[0]);
//   int length = GetOpcodeLength(code[0]); // 1 to 3 bytes
//
// The prefix is the listing's text up to the first variable field, spelled as the
// listing spells it ("DEC  A", "SUBB A ,R1" and a few trailing blanks included).
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

// The opcode map entry of opcode.
const OPCODEINFO& GetOpcodeInfo(unsigned char opcode);
// Length in bytes of the instruction that starts with opcode.
int GetOpcodeLength(unsigned char opcode);
