#include "sim/cpu/RegisterImage.h"

#include <algorithm>

#include "sim/cpu/Sfr.h"

namespace zorkit::sim {
namespace {

using namespace cpu;

constexpr int kRegistersAt = 6;
constexpr int kPcAt = 14;

// Offset of each SFR in the image; the registers and PC fill the gaps.
struct CSfrSlot {
    int offset;
    BYTE address;
};

// PSW comes first so that a write selects the bank before R0..R7 are stored.
constexpr CSfrSlot kSfrSlots[] = {
    {2, PSW}, {0, ACC}, {1, B}, {3, SP}, {4, DPL}, {5, DPH}, {16, P0}, {17, P1}, {18, P2}, {19, P3},
    {20, IE}, {21, IP}, {22, TMOD}, {23, TCON}, {24, TL0}, {25, TH0},
};

}

std::vector<BYTE> ReadRegisterImage(const C8051Core& core)
{
    std::vector<BYTE> image(k8051RegisterImageSize);
    for (const CSfrSlot& slot : kSfrSlots)
        image[slot.offset] = core.ReadSfr(slot.address);
    for (int n = 0; n < 8; ++n)
        image[kRegistersAt + n] = core.Register(n);
    image[kPcAt] = BYTE(core.PC());
    image[kPcAt + 1] = BYTE(core.PC() >> 8);
    return image;
}

void WriteRegisterImage(C8051Core& core, const BYTE* image, std::size_t n)
{
    std::size_t size = std::min(n, k8051RegisterImageSize);
    for (const CSfrSlot& slot : kSfrSlots)
        if (std::size_t(slot.offset) < size)
            core.WriteSfr(slot.address, image[slot.offset]);
    for (int r = 0; r < 8; ++r)
        if (std::size_t(kRegistersAt + r) < size)
            core.SetRegister(r, image[kRegistersAt + r]);
    WORD pc = core.PC();
    if (std::size_t(kPcAt) < size)
        pc = WORD((pc & 0xFF00) | image[kPcAt]);
    if (std::size_t(kPcAt + 1) < size)
        pc = WORD((pc & 0x00FF) | image[kPcAt + 1] << 8);
    core.SetPC(pc);
}

}
