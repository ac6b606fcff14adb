#include "sim/devices/Pin.h"

namespace zorkit::sim {

namespace {

std::optional<CPin> PortOf(const std::string& name)
{
    if (name.size() == 2 && name[0] == 'P' && name[1] >= '0' && name[1] <= '3')
        return CPin{CPin::Chip::Cpu, std::uint8_t(name[1] - '0'), 0};
    if (name.size() == 2 && name[0] == 'P' && name[1] >= 'A' && name[1] <= 'C')
        return CPin{CPin::Chip::Ppi, std::uint8_t(name[1] - 'A'), 0};
    return std::nullopt;
}

}

std::optional<CPin> ParsePin(const std::string& name)
{
    if (name.size() == 4 && name.compare(0, 3, "OUT") == 0 && name[3] >= '0' && name[3] <= '2')
        return CPin{CPin::Chip::Ctc, std::uint8_t(name[3] - '0'), 0};
    bool cpu = name.size() == 4 && name[2] == '.';
    bool ppi = name.size() == 3;
    if (!cpu && !ppi)
        return std::nullopt;
    std::optional<CPin> port = PortOf(name.substr(0, 2));
    char bit = name.back();
    if (!port || (port->chip == CPin::Chip::Cpu) != cpu || bit < '0' || bit > '7')
        return std::nullopt;
    port->bit = std::uint8_t(bit - '0');
    return port;
}

std::vector<CPin> ParsePort(const std::string& name)
{
    std::vector<CPin> pins;
    if (std::optional<CPin> port = PortOf(name))
        for (std::uint8_t bit = 0; bit < 8; ++bit)
            pins.push_back(CPin{port->chip, port->port, bit});
    return pins;
}

std::string PinName(const CPin& pin)
{
    switch (pin.chip) {
    case CPin::Chip::Cpu: return "P" + std::to_string(pin.port) + "." + std::to_string(pin.bit);
    case CPin::Chip::Ppi: return std::string("P") + char('A' + pin.port) + std::to_string(pin.bit);
    case CPin::Chip::Ctc: return "OUT" + std::to_string(pin.port);
    }
    return "?";
}

}
