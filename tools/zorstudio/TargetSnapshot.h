// What the board showed at one stop: the register image, the internal RAM, a page
// of external memory and the code around the program counter, and which bytes
// differ from the stop before (so that the views can highlight them).
#pragma once

#include <cstddef>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

namespace zorstudio {

struct CTargetSnapshot {
    bool valid = false;
    std::vector<BYTE> registers;
    std::vector<BYTE> internalRam;   // 256 bytes from address 0
    WORD externalAddress = 0;
    std::vector<BYTE> external;      // the page shown, from externalAddress
    WORD pc = 0;
    WORD codeAddress = 0;
    std::vector<BYTE> code;          // the downloaded bytes around the PC, from codeAddress
};

// Offsets (into each block) of the bytes that changed between two snapshots. A block
// that was not read both times, or that moved, counts as unchanged: there is nothing
// to compare it with.
struct CSnapshotChanges {
    std::vector<int> registerBytes;
    std::vector<int> internalBytes;
    std::vector<int> externalBytes;
    // Indices into RegisterLayout() of the registers with a changed byte, ascending.
    std::vector<int> registers;

    bool Any() const { return !registerBytes.empty() || !internalBytes.empty() || !externalBytes.empty(); }
};

CSnapshotChanges CompareSnapshots(const CTargetSnapshot& before, const CTargetSnapshot& after);

}
