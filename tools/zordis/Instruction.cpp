#include "tools/zordis/Instruction.h"

#include "zorkit/disasm/OpcodeInfo.h"

namespace zordis {

namespace {

constexpr unsigned char kLjmp = 0x02;
constexpr unsigned char kLcall = 0x12;
constexpr unsigned char kRet = 0x22;
constexpr unsigned char kReti = 0x32;
constexpr unsigned char kJmpIndirect = 0x73;
constexpr unsigned char kSjmp = 0x80;
constexpr unsigned char kInvalid = 0xA5;
// AJMP and ACALL share their low five bits; the top three are address bits 10-8.
constexpr unsigned char kAddr11Mask = 0x1F;
constexpr unsigned char kAjmp = 0x01;

} // namespace

Instruction DecodeInstruction(const unsigned char* code, unsigned address)
{
    const unsigned char opcode = code[0];
    Instruction instruction{address, GetOpcodeLength(opcode), Flow::Next, 0, 0};
    const long next = long(address) + instruction.length;

    switch (GetOpcodeInfo(opcode).operands) {
    case OPD_REL:
        instruction.flow = opcode == kSjmp ? Flow::Jump : Flow::Branch;
        instruction.reach = next + static_cast<signed char>(code[1]);
        break;
    case OPD_BYTE_REL:
        instruction.flow = Flow::Branch;
        instruction.reach = next + static_cast<signed char>(code[2]);
        break;
    case OPD_ADDR11:
        instruction.flow = (opcode & kAddr11Mask) == kAjmp ? Flow::Jump : Flow::Call;
        instruction.reach = ((unsigned(opcode) << 3) & 0x700) | code[1] | ((next & 0xFFFF) & 0xF800);
        break;
    case OPD_ADDR16:
        if (opcode == kLjmp || opcode == kLcall) {
            instruction.flow = opcode == kLjmp ? Flow::Jump : Flow::Call;
            instruction.reach = (unsigned(code[1]) << 8) | code[2];
        }
        break;
    default:
        if (opcode == kRet)
            instruction.flow = Flow::Return;
        else if (opcode == kReti)
            instruction.flow = Flow::ReturnFromInterrupt;
        else if (opcode == kJmpIndirect)
            instruction.flow = Flow::Indirect;
        else if (opcode == kInvalid)
            instruction.flow = Flow::Invalid;
        break;
    }
    instruction.target = unsigned(instruction.reach) & 0xFFFF;
    return instruction;
}

}
