#include "tools/common/Numbers.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tools {

const char kNumberConvention[] =
    "Numbers: addresses and data bytes are hexadecimal (1F00, 0x1F00 and 1F00H are the same);\n"
    "counts, times and settings are decimal.\n";

namespace {

bool AllOf(const std::string& text, const char* allowed)
{
    return !text.empty() && text.find_first_not_of(allowed) == std::string::npos;
}

std::optional<std::uint32_t> ParseDigits(const std::string& digits, int base, std::uint32_t max)
{
    // Leading zeros are harmless; a value too long for the type is simply too big.
    errno = 0;
    unsigned long long value = std::strtoull(digits.c_str(), nullptr, base);
    if (errno != 0 || value > max)
        return std::nullopt;
    return std::uint32_t(value);
}

}

std::string Hex(std::uint32_t value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, unsigned(value));
    return text;
}

std::optional<std::uint32_t> ParseHex(const std::string& text, std::uint32_t max)
{
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.erase(0, 2);
    else if (digits.size() > 1 && (digits.back() == 'H' || digits.back() == 'h'))
        digits.pop_back();
    if (!AllOf(digits, "0123456789abcdefABCDEF"))
        return std::nullopt;
    return ParseDigits(digits, 16, max);
}

std::optional<std::uint32_t> ParseDecimal(const std::string& text, std::uint32_t max)
{
    if (!AllOf(text, "0123456789"))
        return std::nullopt;
    return ParseDigits(text, 10, max);
}

std::optional<double> ParseFinite(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}
