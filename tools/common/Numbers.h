// The tools' one number convention: addresses and data bytes are hexadecimal
// (1F00, 0x1F00 and 1F00H all mean 0x1F00); counts, times and settings are decimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tools {

// A hexadecimal address or byte, at most `max`.
std::optional<std::uint32_t> ParseHex(const std::string& text, std::uint32_t max);
// A decimal whole number, at most `max`.
std::optional<std::uint32_t> ParseDecimal(const std::string& text, std::uint32_t max);
// A finite decimal number (gains and the like); nan, inf and overflow are refused.
std::optional<double> ParseFinite(const std::string& text);

// How the tools write a number back: `digits` uppercase hexadecimal digits at least
// (Hex(0x1F, 4) is "001F").
std::string Hex(std::uint32_t value, int digits);

// The sentence each --help carries about numbers.
extern const char kNumberConvention[];

}
