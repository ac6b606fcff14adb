// The 8051's register image as the monitor's register commands move it, 26 bytes:
//
//   0 A    1 B    2 PSW   3 SP   4 DPL   5 DPH   6..13 R0..R7 of the bank PSW selects
//   14 PCL 15 PCH 16 P0  17 P1  18 P2   19 P3   20 IE  21 IP  22 TMOD  23 TCON
//   24 TL0 25 TH0
//
// Writing takes PSW first, so R0..R7 land in the bank the new PSW selects.
#pragma once

#include <cstddef>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/cpu/Core8051.h"

namespace zorkit::sim {

constexpr std::size_t k8051RegisterImageSize = 26;

std::vector<BYTE> ReadRegisterImage(const C8051Core& core);
// Takes the first min(n, 26) bytes; the rest of the registers keep their values.
void WriteRegisterImage(C8051Core& core, const BYTE* image, std::size_t n);

}
