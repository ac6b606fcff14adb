// Where an 8051 instruction can go next, from its code bytes: the length, and for
// jumps, branches and calls their target. The source debugger plans its temporary
// breakpoints with it.
#pragma once

#include <vector>

#include "zorkit/platform/core/WinTypes.h"

namespace cdebug {

struct CFlow {
    enum Kind {
        Next,        // goes on with the next instruction only
        Jump,        // goes to target only
        Branch,      // goes to target or the next instruction
        Call,        // calls target, then the next instruction
        Return,      // RET, RETI
        Indirect,    // JMP @A+DPTR: anywhere
    };
    Kind kind = Next;
    int length = 1;
    WORD target = 0;
};

// The instruction at `address` of the 64 KB code image.
CFlow FlowAt(const std::vector<BYTE>& code, WORD address);

}
