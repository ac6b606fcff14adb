// zorsim's commands on the board's devices: switch, button, key, knob, pulse, show.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/VirtualBoard.h"

namespace zorsim {

// Carries out `words` when they name a device command: true with the reply (errors
// as "error: ..." lines) in `reply` and `show`'s text in `shown`; false otherwise.
bool RunDeviceCommand(zorkit::sim::CVirtualBoard& board, const std::vector<std::string>& words, std::ostream& reply,
    std::ostream& shown);
// The commands' lines for --help.
extern const char kDeviceCommandHelp[];
// The built-in board's wiring, the profile format and show's lines, for --help.
std::string DeviceHelp();

}
