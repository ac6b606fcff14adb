// One line of an instruction trace: address, code bytes and the listing text of the
// instruction at an address of code memory, from the library's disassembler.
#pragma once

#include <string>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

// As "007E  758933             MOV 89H,#33H"; the address wraps at FFFF as the PC does.
std::string InstructionText(const BYTE* code, WORD address);

}
