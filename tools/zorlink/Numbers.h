// Numbers as users type them: 0x hex or decimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

std::optional<std::uint32_t> ParseNumber(const std::string& text, std::uint32_t max);
