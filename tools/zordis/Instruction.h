// One 8051 instruction seen as a step of the code flow: its length, where control
// goes after it, and the address it names.
#pragma once

namespace zordis {

enum class Flow {
    Next,     // on to the next instruction
    Jump,     // to the target only: LJMP, AJMP, SJMP
    Call,     // to the target and, on return, to the next instruction
    Branch,   // to the target or to the next instruction
    Return,   // RET: wherever the stack says
    ReturnFromInterrupt,
    Indirect, // JMP @A+DPTR
    Invalid,  // A5, which is no instruction
};

struct Instruction {
    unsigned address;
    int length;
    Flow flow;
    // Target address as the 8051 reaches it (16 bits) for Jump, Call and Branch.
    unsigned target;
    // Target before the 16-bit wrap; differs from target when the branch wraps
    // around either end of the code space.
    long reach;
};

// Decodes the instruction at address whose bytes start at code; reads GetOpcodeLength
// bytes.
Instruction DecodeInstruction(const unsigned char* code, unsigned address);

}
