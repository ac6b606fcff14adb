#include "tools/zorsim/FaultNames.h"

#include <cstdlib>
#include <string>

namespace zorsim {

using zorkit::sim::Fault;

const CFaultName kFaultNames[zorkit::sim::kFaultKinds] = {
    {"drop-ack", Fault::DropAck, "the next acknowledgement is lost (the command is carried out)"},
    {"nak", Fault::Nak, "the next frame is refused with 55, or the next echo verdict is 55"},
    {"wrong-ack", Fault::WrongAck, "the next acknowledgement is sent as BYTE instead of AA"},
    {"corrupt-block", Fault::CorruptBlock, "the next data block carries a wrong checksum"},
    {"break-banner", Fault::BreakBanner, "the next sign-on banner has a wrong letter"},
    {"break-echo", Fault::BreakEcho, "the next echo to the host has a byte out of order"},
    {"short-block", Fault::ShortBlock, "the next data block loses its checksum byte"},
    {"garbage", Fault::Garbage, "line noise goes out in front of the next acknowledgement"},
};

std::optional<Fault> FaultFromName(std::string_view name)
{
    for (const CFaultName& entry : kFaultNames)
        if (name == entry.name)
            return entry.fault;
    return std::nullopt;
}

std::optional<BYTE> ParseByte(std::string_view text)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    std::string digits(text);
    if (digits.empty() || digits[0] == '-' || digits[0] == '+')
        return std::nullopt;
    char* end = nullptr;
    unsigned long value = std::strtoul(digits.c_str(), &end, base);
    if (*end != '\0' || value > 0xFF)
        return std::nullopt;
    return BYTE(value);
}

}
