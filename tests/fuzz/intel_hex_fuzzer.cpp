// Parses arbitrary text as Intel HEX. What it accepts must be runs in ascending
// order that neither overlap nor touch, and writing those runs out again as HEX
// must give back the same runs.
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <string>

#include "tools/common/IntelHex.h"

namespace {

std::string Record(std::uint8_t type, std::uint16_t offset, const std::uint8_t* data, std::size_t n)
{
    unsigned sum = unsigned(n) + (offset >> 8) + (offset & 0xFF) + type;
    char field[16];
    std::snprintf(field, sizeof field, ":%02X%04X%02X", unsigned(n), unsigned(offset), unsigned(type));
    std::string line = field;
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(field, sizeof field, "%02X", unsigned(data[i]));
        line += field;
        sum += data[i];
    }
    std::snprintf(field, sizeof field, "%02X\n", (0x100 - sum % 0x100) % 0x100);
    return line + field;
}

std::string Write(const std::vector<CIntelHex::Run>& runs)
{
    std::string text;
    for (const CIntelHex::Run& run : runs) {
        for (std::size_t at = 0; at < run.bytes.size();) {
            std::uint64_t address = std::uint64_t(run.address) + at;
            std::uint8_t upper[2] = {std::uint8_t(address >> 24), std::uint8_t(address >> 16)};
            text += Record(0x04, 0, upper, 2);
            // A record never crosses a 64 KB boundary.
            std::size_t room = std::size_t(0x10000 - (address & 0xFFFF));
            std::size_t n = std::min({run.bytes.size() - at, std::size_t(255), room});
            text += Record(0x00, std::uint16_t(address), run.bytes.data() + at, n);
            at += n;
        }
    }
    return text + Record(0x01, 0, nullptr, 0);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CIntelHex hex;
    if (!hex.Parse(std::string(reinterpret_cast<const char*>(data), size), "in")) {
        if (hex.GetError().compare(0, 3, "in:") != 0)
            __builtin_trap();
        return 0;
    }
    const auto& runs = hex.GetRuns();
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (runs[i].bytes.empty() || std::uint64_t(runs[i].address) + runs[i].bytes.size() > 0x100000000ULL)
            __builtin_trap();
        if (i > 0 && std::uint64_t(runs[i - 1].address) + runs[i - 1].bytes.size() >= runs[i].address)
            __builtin_trap();
    }
    CIntelHex again;
    if (!again.Parse(Write(runs), "again") || again.GetRuns().size() != runs.size())
        __builtin_trap();
    for (std::size_t i = 0; i < runs.size(); ++i)
        if (again.GetRuns()[i].address != runs[i].address || again.GetRuns()[i].bytes != runs[i].bytes)
            __builtin_trap();
    return 0;
}
