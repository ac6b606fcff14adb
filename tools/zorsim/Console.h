// zorsim's standard-input commands, one per line, applied to the running board.
#pragma once

#include <ostream>
#include <string>

#include "sim/VirtualBoard.h"

namespace zorsim {

enum class ConsoleAction {
    Continue,
    Quit,
};

// Carries out one line; replies and errors go to `reply`, what `show` prints to `shown`.
ConsoleAction RunConsoleLine(
    zorkit::sim::CVirtualBoard& board, const std::string& line, std::ostream& reply, std::ostream& shown);

}
