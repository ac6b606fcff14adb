#include "tools/zorsim/FaultNames.h"

#include <string>

#include "tools/common/Numbers.h"

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
    std::optional<std::uint32_t> value = tools::ParseHex(std::string(text), 0xFF);
    return value ? std::optional<BYTE>(BYTE(*value)) : std::nullopt;
}

}
