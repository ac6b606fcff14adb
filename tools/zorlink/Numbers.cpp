#include "tools/zorlink/Numbers.h"

#include <cerrno>
#include <cstdlib>

std::optional<std::uint32_t> ParseNumber(const std::string& text, std::uint32_t max)
{
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return std::nullopt;
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = text.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
    if (errno != 0 || end == digits || *end != '\0' || value > max)
        return std::nullopt;
    return std::uint32_t(value);
}
