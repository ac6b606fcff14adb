// Hexadecimal values as the grids show and take them.
#pragma once

#include <optional>
#include <string>

namespace zorstudio {

// "3F", "3fh", "0x3F" up to max; nothing for anything else.
std::optional<unsigned> ParseHexCell(const std::string& text, unsigned max);

}
