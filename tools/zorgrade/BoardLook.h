// What a check sees of a board at one moment, and the words for it: the 8051, its
// memories, its devices and what it has sent on the serial line.
#pragma once

#include <cstdint>
#include <string>

#include "sim/BoardMemory.h"
#include "sim/cpu/Core8051.h"
#include "sim/devices/DeviceBoard.h"
#include "tools/zorgrade/Scenario.h"

namespace zorgrade {

struct CBoardLook {
    const zorkit::sim::C8051Core& core;
    const zorkit::sim::CBoardMemory& memory;
    const zorkit::sim::CDeviceBoard& devices;
    const std::string& serial;
};

bool Matches(const CExpectation& expectation, const CBoardLook& board);
// What the board shows of what the expectation looks at: "LEDs .*......".
std::string Seen(const CExpectation& expectation, const CBoardLook& board);
// What the expectation wants, in the same words: "LEDs *.......".
std::string Expected(const CExpectation& expectation);

bool PinLevel(const zorkit::sim::C8051Core& core, const zorkit::sim::CPin& pin);
// "0x00FF" for HexNumber(255, 4).
std::string HexNumber(unsigned value, int digits);

}
