#include "tools/zorsim/DeviceCommands.h"

#include "tools/common/Numbers.h"

namespace zorsim {

using zorkit::sim::CDeviceBoard;

const char kDeviceCommandHelp[] =
    "  switch N on|off            set DIP switch N (0-7)\n"
    "  button N down|up           press or release push button N (0-1)\n"
    "  key K down|up              press or release keypad key K (0-F)\n"
    "  knob N VALUE               set the A/D converter's input N (0-7) to the\n"
    "                             byte VALUE (hexadecimal, 00-FF)\n"
    "  pulse HZ                   run the pulse generator at HZ (0-50000, 0 stops it)\n"
    "  show                       print every device's state on standard output,\n"
    "                             one 'name: state' line each, then an empty line\n";

namespace {

struct CDeviceCommand {
    const char* name;
    std::size_t arguments;
    const char* usage;
    // The device change, or an error text; std::nullopt when the words are wrong.
    std::optional<std::string> (*run)(CDeviceBoard&, const std::vector<std::string>&);
};

std::optional<bool> Either(const std::string& word, const char* yes, const char* no)
{
    if (word == yes)
        return true;
    if (word == no)
        return false;
    return std::nullopt;
}

std::optional<std::string> Switch(CDeviceBoard& devices, const std::vector<std::string>& words)
{
    std::optional<std::uint32_t> n = tools::ParseDecimal(words[1], 255);
    std::optional<bool> on = Either(words[2], "on", "off");
    if (!n || !on)
        return std::nullopt;
    return devices.SetSwitch(int(*n), *on);
}

std::optional<std::string> Button(CDeviceBoard& devices, const std::vector<std::string>& words)
{
    std::optional<std::uint32_t> n = tools::ParseDecimal(words[1], 255);
    std::optional<bool> down = Either(words[2], "down", "up");
    if (!n || !down)
        return std::nullopt;
    return devices.SetButton(int(*n), *down);
}

std::optional<std::string> Key(CDeviceBoard& devices, const std::vector<std::string>& words)
{
    std::optional<std::uint32_t> key = tools::ParseHex(words[1], 0xFF);
    std::optional<bool> down = Either(words[2], "down", "up");
    if (!key || !down)
        return std::nullopt;
    return devices.SetKey(int(*key), *down);
}

std::optional<std::string> Knob(CDeviceBoard& devices, const std::vector<std::string>& words)
{
    std::optional<std::uint32_t> n = tools::ParseDecimal(words[1], 255);
    std::optional<std::uint32_t> value = tools::ParseHex(words[2], 0xFFFF);
    if (!n || !value)
        return std::nullopt;
    return devices.SetKnob(int(*n), int(*value));
}

std::optional<std::string> Pulse(CDeviceBoard& devices, const std::vector<std::string>& words)
{
    std::optional<std::uint32_t> hz = tools::ParseDecimal(words[1], 0x7FFFFFFF);
    if (!hz)
        return std::nullopt;
    return devices.SetPulseRate(long(*hz));
}

constexpr CDeviceCommand kCommands[] = {
    {"switch", 2, "switch N on|off", Switch},
    {"button", 2, "button N down|up", Button},
    {"key", 2, "key K down|up (K = 0-F)", Key},
    {"knob", 2, "knob N VALUE (VALUE = 00-FF)", Knob},
    {"pulse", 1, "pulse HZ", Pulse},
};

}

bool RunDeviceCommand(zorkit::sim::CVirtualBoard& board, const std::vector<std::string>& words, std::ostream& reply,
    std::ostream& shown)
{
    if (words.empty())
        return false;
    if (words[0] == "show") {
        if (words.size() != 1)
            reply << "error: show takes nothing after it\n";
        else if (!board.WithDevices([&shown](CDeviceBoard& devices) { shown << devices.Show() << "\n"; }))
            reply << "error: this board has no devices\n";
        return true;
    }
    for (const CDeviceCommand& command : kCommands) {
        if (words[0] != command.name)
            continue;
        std::optional<std::string> outcome;
        bool attached = words.size() == command.arguments + 1
            && board.WithDevices([&](CDeviceBoard& devices) { outcome = command.run(devices, words); });
        if (words.size() != command.arguments + 1 || (attached && !outcome))
            reply << "error: say " << command.usage << "\n";
        else if (!attached)
            reply << "error: this board has no devices\n";
        else if (!outcome->empty())
            reply << "error: " << *outcome << "\n";
        return true;
    }
    return false;
}

}
