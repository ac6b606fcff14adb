#include "tools/zorstudio/ui/HexCell.h"

#include <cctype>
#include <cstdio>

namespace zorstudio {

std::string HexText(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::optional<unsigned> ParseHexCell(const std::string& text, unsigned max)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    if (end - begin > 2 && text[begin] == '0' && (text[begin + 1] == 'x' || text[begin + 1] == 'X'))
        begin += 2;
    else if (end > begin && (text[end - 1] == 'h' || text[end - 1] == 'H'))
        --end;
    if (begin == end)
        return std::nullopt;
    unsigned long value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return std::nullopt;
        value = value * 16 + unsigned(std::isdigit(static_cast<unsigned char>(text[i]))
                                          ? text[i] - '0'
                                          : std::toupper(static_cast<unsigned char>(text[i])) - 'A' + 10);
        if (value > max)
            return std::nullopt;
    }
    return unsigned(value);
}

}
