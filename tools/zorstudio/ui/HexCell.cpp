#include "tools/zorstudio/ui/HexCell.h"

#include <cctype>

#include "tools/common/Numbers.h"

namespace zorstudio {

std::optional<unsigned> ParseHexCell(const std::string& text, unsigned max)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    std::optional<std::uint32_t> value = tools::ParseHex(text.substr(begin, end - begin), max);
    return value ? std::optional<unsigned>(*value) : std::nullopt;
}

}
