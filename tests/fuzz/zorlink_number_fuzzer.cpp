// Parses arbitrary text as a hexadecimal and as a decimal number a user typed, against a limit taken
// from the input. A number accepted must respect its limit, and the same text must
// give the same number against any larger limit and be refused below it.
#include <cstdint>
#include <cstring>
#include <string>

#include "tools/common/Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::uint32_t max;
    std::memcpy(&max, data, sizeof max);
    std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    for (auto parse : {tools::ParseHex, tools::ParseDecimal}) {
        auto value = parse(text, max);
        if (!value)
            continue;
        if (*value > max)
            __builtin_trap();
        auto unlimited = parse(text, 0xFFFFFFFFu);
        if (!unlimited || *unlimited != *value)
            __builtin_trap();
        if (*value > 0 && parse(text, *value - 1))
            __builtin_trap();
    }
    return 0;
}
