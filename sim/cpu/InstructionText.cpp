#include "sim/cpu/InstructionText.h"

#include "zorkit/disasm/Disassemble.h"

namespace zorkit::sim {

std::string InstructionText(const BYTE* code, WORD address)
{
    // The longest instruction has three bytes; copied so that they wrap with the PC.
    unsigned char bytes[3];
    for (int i = 0; i < 3; ++i)
        bytes[i] = code[WORD(address + i)];
    CDisassemble disassembler;
    disassembler.initaddr(bytes, nullptr, address, int(sizeof bytes));
    CString text = disassembler.disamble(0);
    return std::string(static_cast<LPCTSTR>(disassembler.robotcd(0))) + static_cast<LPCTSTR>(text);
}

}
