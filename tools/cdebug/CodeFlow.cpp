#include "tools/cdebug/CodeFlow.h"

namespace cdebug {
namespace {

// Instruction lengths by opcode, a row of sixteen per line.
constexpr BYTE kLengths[256] = {
    1, 2, 3, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    3, 2, 3, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    3, 2, 1, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    3, 2, 1, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    2, 2, 2, 3, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    2, 2, 2, 3, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    2, 2, 2, 3, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    2, 2, 2, 1, 2, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, //
    2, 2, 2, 1, 1, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, //
    3, 2, 2, 1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    2, 2, 2, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, //
    2, 2, 2, 1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, //
    2, 2, 2, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    2, 2, 2, 1, 1, 3, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, //
    1, 2, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
    1, 2, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, //
};

}

CFlow FlowAt(const std::vector<BYTE>& code, WORD address)
{
    auto byte = [&](int offset) { return code[WORD(address + offset)]; };
    const BYTE op = byte(0);
    CFlow flow;
    flow.length = kLengths[op];
    const WORD next = WORD(address + flow.length);
    auto relative = [&](int at) { return WORD(next + static_cast<signed char>(byte(at))); };
    if ((op & 0x1F) == 0x01) { // AJMP, ACALL: within the 2 KB page of the next instruction
        flow.kind = (op & 0x10) ? CFlow::Call : CFlow::Jump;
        flow.target = WORD((next & 0xF800) | ((op >> 5) << 8) | byte(1));
        return flow;
    }
    switch (op) {
    case 0x02: flow.kind = CFlow::Jump; flow.target = WORD(byte(1) << 8 | byte(2)); break;
    case 0x12: flow.kind = CFlow::Call; flow.target = WORD(byte(1) << 8 | byte(2)); break;
    case 0x22: case 0x32: flow.kind = CFlow::Return; break;
    case 0x73: flow.kind = CFlow::Indirect; break;
    case 0x80: flow.kind = CFlow::Jump; flow.target = relative(1); break;
    case 0x10: case 0x20: case 0x30: case 0xD5: flow.kind = CFlow::Branch; flow.target = relative(2); break;
    case 0x40: case 0x50: case 0x60: case 0x70: flow.kind = CFlow::Branch; flow.target = relative(1); break;
    default:
        if (op >= 0xB4 && op <= 0xBF) {
            flow.kind = CFlow::Branch;
            flow.target = relative(2);
        } else if (op >= 0xD8 && op <= 0xDF) {
            flow.kind = CFlow::Branch;
            flow.target = relative(1);
        }
    }
    return flow;
}

}
