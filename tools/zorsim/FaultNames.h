// The names of the board's faults on zorsim's command line and console.
#pragma once

#include <optional>
#include <string_view>

#include "sim/FaultPlan.h"

namespace zorsim {

struct CFaultName {
    const char* name;
    zorkit::sim::Fault fault;
    const char* meaning;
};

extern const CFaultName kFaultNames[zorkit::sim::kFaultKinds];

std::optional<zorkit::sim::Fault> FaultFromName(std::string_view name);
// Accepts 0x-prefixed hexadecimal or decimal, 0..255.
std::optional<BYTE> ParseByte(std::string_view text);

}
