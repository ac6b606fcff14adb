#include "tools/zorsim/DeviceCommands.h"

#include "sim/devices/BoardProfile.h"
#include "tools/common/Numbers.h"

namespace zorsim {

using zorkit::sim::CDeviceBoard;

const char kDeviceCommandHelp[] =
    "  switch N on|off            set DIP switch N (0-7)\n"
    "  button N down|up           press or release push button N (0-1)\n"
    "  key K down|up              press or release keypad key K (0-F)\n"
    "  knob N VALUE               set the A/D converter's input N (0-7) to the\n"
    "                             byte VALUE (hexadecimal, 00-FF); the heater's\n"
    "                             sensor's input is not a knob\n"
    "  pulse HZ                   run the pulse generator at HZ (0-50000, 0 stops it)\n"
    "  show                       print every device's state on standard output,\n"
    "                             one 'name: state' line each, then an empty line\n";

std::string DeviceHelp()
{
    return
        "The built-in board (times in machine cycles, one a microsecond at 12 MHz):\n"
        + zorkit::sim::WiringTable(zorkit::sim::DefaultBoardProfile()) +
        "A profile file is TOML: one [table] per device (leds, switches, buttons, pulse,\n"
        "buzzer, seg7, keypad, lcd, adc, dac, stepper, motor, heater, ppi, ctc) with\n"
        "its pins (\"P1.3\", a port \"P1\", a list, PA0-PC7 on the parallel chip,\n"
        "OUT0-OUT2 of the counter chip), its bus page (address = 0xE400) or its A/D\n"
        "input (channel = 7); a wrong profile is refused with its line and reason.\n"
        "'show' prints:\n"
        "  leds: *.......             LED 0 first, * lit\n"
        "  switches: 10000000         switch 0 first, 1 on\n"
        "  buttons: up up\n"
        "  pulse: 0 Hz\n"
        "  buzzer: off | on HZ Hz\n"
        "  seg7: \"12345678\"          digit 0 first, as the eye sees it; '.' a lit point\n"
        "  keypad: none | the keys down\n"
        "  lcd: \"LINE 1\" \"LINE 2\"     16 characters each, spaces while off\n"
        "  adc: the 8 inputs, result R (converting while a conversion runs)\n"
        "  dac: the last byte written\n"
        "  stepper: DEGREES deg, phases the energised windings (A-D) or none\n"
        "  motor: RPM rpm, drive PERCENT%\n"
        "  heater: DEGREES deg C, power PERCENT%\n";
}

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
