#include "sim/devices/BoardProfile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "sim/TomlText.h"

namespace zorkit::sim {

namespace {

// A profile found wrong: the line it is on and why.
struct CRefusal {
    std::size_t line;
    std::string reason;
};

std::size_t LineOf(const toml::node& node) { return std::size_t(node.source().begin.line); }

class CProfileReader {
public:
    explicit CProfileReader(const toml::table& root) : m_root(root) {}

    std::optional<CBoardProfile> Read()
    {
        // In the file's order, so that of two conflicting devices the later one is named.
        std::vector<std::pair<std::string, const toml::node*>> devices;
        for (auto&& [key, node] : m_root)
            devices.emplace_back(std::string(key.str()), &node);
        std::stable_sort(devices.begin(), devices.end(),
            [](const auto& a, const auto& b) { return LineOf(*a.second) < LineOf(*b.second); });
        for (const auto& [name, node] : devices) {
            const toml::table* table = node->as_table();
            if (!table) {
                Refuse(*node, "'" + name + "' is not a device table such as [leds]");
                return std::nullopt;
            }
            if (!ReadDevice(name, *table))
                return std::nullopt;
        }
        if (!CheckPins() || !CheckHeater())
            return std::nullopt;
        return m_profile;
    }

    const CRefusal& Refusal() const { return m_refusal; }

private:
    enum class Role { DrivesPin, ReadsPin };

    bool ReadDevice(const std::string& name, const toml::table& t)
    {
        m_table = &t;
        m_known.clear();
        bool read = Dispatch(name, t);
        if (!read)
            return false;
        for (auto&& [key, node] : t)
            if (!m_known.count(std::string(key.str())))
                return Refuse(node, "[" + name + "] has no setting '" + std::string(key.str()) + "'");
        return true;
    }

    bool Dispatch(const std::string& name, const toml::table& t)
    {
        CBoardProfile& p = m_profile;
        if (name == "leds") {
            CBoardProfile::CLeds leds;
            std::optional<std::string> lit = Text("lit", "low");
            if (!Pins("pins", 1, 8, Role::ReadsPin, name, leds.pins) || !lit)
                return false;
            if (*lit != "low" && *lit != "high")
                return Refuse(*t.get("lit"), "lit is \"low\" or \"high\"");
            leds.litWhenLow = *lit == "low";
            p.leds = leds;
        } else if (name == "switches") {
            p.switches.emplace();
            return Pins("pins", 1, 8, Role::DrivesPin, name, p.switches->pins);
        } else if (name == "buttons") {
            p.buttons.emplace();
            return Pins("pins", 1, 2, Role::DrivesPin, name, p.buttons->pins);
        } else if (name == "pulse") {
            p.pulse.emplace();
            return OnePin("pin", Role::DrivesPin, name, p.pulse->pin);
        } else if (name == "buzzer") {
            p.buzzer.emplace();
            return OnePin("pin", Role::ReadsPin, name, p.buzzer->pin);
        } else if (name == "seg7" || name == "keypad" || name == "lcd" || name == "dac" || name == "ppi"
                   || name == "ctc") {
            std::optional<CBoardProfile::CBusDevice>& device = name == "seg7" ? p.seg7
                : name == "keypad"                                           ? p.keypad
                : name == "lcd"                                              ? p.lcd
                : name == "dac"                                              ? p.dac
                : name == "ppi"                                              ? p.ppi
                                                                             : p.ctc;
            device.emplace();
            return Address(name, device->address);
        } else if (name == "adc") {
            p.adc.emplace();
            if (!Address(name, p.adc->address))
                return false;
            if (t.contains("eoc")) {
                CPin eoc;
                if (!OnePin("eoc", Role::DrivesPin, name, eoc))
                    return false;
                p.adc->eoc = eoc;
            }
        } else if (name == "stepper") {
            p.stepper.emplace();
            std::optional<double> step = Number("step-degrees", 7.5, 0.1, 180);
            if (!step || !Pins("phases", 4, 4, Role::ReadsPin, name, p.stepper->phases))
                return false;
            p.stepper->stepDegrees = *step;
        } else if (name == "motor") {
            p.motor.emplace();
            std::optional<double> pulses = Number("pulses-per-turn", 20, 1, 1000);
            std::optional<double> rpm = Number("max-rpm", 3000, 10, 20000);
            if (!pulses || !rpm || !OnePin("drive", Role::ReadsPin, name, p.motor->drive)
                || !OnePin("encoder", Role::DrivesPin, name, p.motor->encoder))
                return false;
            p.motor->pulsesPerTurn = int(*pulses);
            p.motor->maxRpm = int(*rpm);
        } else if (name == "heater") {
            p.heater.emplace();
            m_heaterLine = LineOf(t);
            std::optional<double> channel = Number("channel", 7, 0, 7);
            if (!channel)
                return false;
            if (*channel != double(int(*channel)))
                return Refuse(*t.get("channel"), "channel is a whole number from 0 to 7");
            p.heater->channel = int(*channel);
        } else {
            return Refuse(t, "unknown device [" + name
                    + "] (leds, switches, buttons, pulse, buzzer, seg7, keypad, lcd, adc, dac, stepper, motor, heater, "
                      "ppi, ctc)");
        }
        return true;
    }

    std::optional<std::string> Text(const char* key, const char* fallback)
    {
        m_known.insert(key);
        const toml::node* node = m_table->get(key);
        if (!node)
            return std::string(fallback);
        if (!node->is_string()) {
            Refuse(*node, std::string(key) + " takes a quoted text");
            return std::nullopt;
        }
        return node->as_string()->get();
    }

    std::optional<double> Number(const char* key, double fallback, double low, double high)
    {
        m_known.insert(key);
        const toml::node* node = m_table->get(key);
        if (!node)
            return fallback;
        std::optional<double> value = node->value<double>();
        if (!value || *value < low || *value > high) {
            std::ostringstream reason;
            reason << key << " must be a number from " << low << " to " << high;
            Refuse(*node, reason.str());
            return std::nullopt;
        }
        return value;
    }

    bool Address(const std::string& device, WORD& address)
    {
        m_known.insert("address");
        const toml::node* node = m_table->get("address");
        if (!node)
            return Refuse(*m_table, "[" + device + "] needs an address, e.g. address = 0xE000");
        std::optional<std::int64_t> value = node->value<std::int64_t>();
        if (!value || *value < 0 || *value > 0xFFFF || (*value & 0xFF) != 0)
            return Refuse(*node, "address must be the start of a 256-byte page, 0x0000 to 0xFF00");
        address = WORD(*value);
        auto [owner, fresh] = m_pages.emplace(address, device);
        if (!fresh)
            return Refuse(*node, "[" + device + "] and [" + owner->second + "] are both at the same address");
        return true;
    }

    bool OnePin(const char* key, Role role, const std::string& device, CPin& pin)
    {
        std::vector<CPin> pins;
        if (!Pins(key, 1, 1, role, device, pins))
            return false;
        pin = pins[0];
        return true;
    }

    // A pin list: a port name ("P1"), or an array of pin names, with count in [low, high].
    bool Pins(const char* key, std::size_t low, std::size_t high, Role role, const std::string& device,
        std::vector<CPin>& pins)
    {
        m_known.insert(key);
        const toml::node* node = m_table->get(key);
        if (!node)
            return Refuse(*m_table, "[" + device + "] needs " + key);
        std::vector<std::pair<std::string, const toml::node*>> names;
        if (const toml::array* list = node->as_array()) {
            for (const toml::node& element : *list) {
                if (!element.is_string())
                    return Refuse(element, std::string(key) + " lists pin names such as \"P1.0\"");
                names.emplace_back(element.as_string()->get(), &element);
            }
        } else if (node->is_string()) {
            std::string text = node->as_string()->get();
            std::vector<CPin> port = ParsePort(text);
            if (port.empty())
                names.emplace_back(text, node);
            for (const CPin& pin : port)
                names.emplace_back(PinName(pin), node);
        } else {
            return Refuse(*node, std::string(key) + " is a pin (\"P3.2\"), a port (\"P1\") or a list of pins");
        }
        for (const auto& [name, where] : names) {
            std::optional<CPin> pin = ParsePin(name);
            if (!pin)
                return Refuse(*where, "'" + name + "' is no pin (P0.0-P3.7, PA0-PC7, OUT0-OUT2)");
            pins.push_back(*pin);
            m_uses.push_back({*pin, role, device, LineOf(*where)});
        }
        if (pins.size() < low || pins.size() > high) {
            std::ostringstream reason;
            reason << key << " of [" << device << "] takes " << low;
            if (high != low)
                reason << " to " << high;
            reason << " pins, not " << pins.size();
            return Refuse(*node, reason.str());
        }
        return true;
    }

    // The checks over the whole board, made once every device is known.
    bool CheckPins()
    {
        // Tables come in key order; a conflict is reported on the later line.
        std::stable_sort(m_uses.begin(), m_uses.end(), [](const CUse& a, const CUse& b) { return a.line < b.line; });
        bool bus = m_profile.seg7 || m_profile.keypad || m_profile.lcd || m_profile.adc || m_profile.dac
            || m_profile.ppi || m_profile.ctc;
        std::map<CPin, const CUse*> drivers;
        for (const CUse& use : m_uses) {
            const CPin& pin = use.pin;
            std::string name = PinName(pin);
            if (pin.chip == CPin::Chip::Ppi && !m_profile.ppi)
                return Refuse(use.line, name + " needs the parallel interface chip, [ppi]");
            if (pin.chip == CPin::Chip::Ctc && !m_profile.ctc)
                return Refuse(use.line, name + " needs the counter/timer chip, [ctc]");
            bool cpu = pin.chip == CPin::Chip::Cpu;
            if (cpu && pin.port == 3 && pin.bit <= 1)
                return Refuse(use.line, name + " is the serial port's");
            if (bus && cpu && (pin.port == 0 || pin.port == 2 || (pin.port == 3 && pin.bit >= 6)))
                return Refuse(use.line, name + " carries the external bus of the devices on it");
            if (use.role != Role::DrivesPin)
                continue;
            if (pin.chip == CPin::Chip::Ctc)
                return Refuse(use.line, name + " is an output of the counter/timer chip; [" + use.device
                        + "] cannot drive it");
            auto [other, fresh] = drivers.emplace(pin, &use);
            if (!fresh)
                return Refuse(use.line, "two outputs wired to " + name + ": [" + other->second->device + "] (line "
                        + std::to_string(other->second->line) + ") and [" + use.device + "]");
        }
        return true;
    }

    // The heater is driven through the D/A and read through the A/D.
    bool CheckHeater()
    {
        if (m_profile.heater && !(m_profile.adc && m_profile.dac))
            return Refuse(m_heaterLine, "[heater] needs the A/D converter, [adc], for its sensor and the D/A, [dac], "
                                        "for its power");
        return true;
    }

    bool Refuse(const toml::node& node, const std::string& reason) { return Refuse(LineOf(node), reason); }
    bool Refuse(std::size_t line, const std::string& reason)
    {
        m_refusal = {line, reason};
        return false;
    }

    struct CUse {
        CPin pin;
        Role role;
        std::string device;
        std::size_t line;
    };

    const toml::table& m_root;
    const toml::table* m_table = nullptr;
    std::set<std::string> m_known;
    std::map<WORD, std::string> m_pages;
    std::vector<CUse> m_uses;
    std::size_t m_heaterLine = 0;
    CBoardProfile m_profile;
    CRefusal m_refusal{0, ""};
};

}

std::optional<CBoardProfile> ParseBoardProfile(const std::string& text, std::string& error)
{
    std::optional<toml::table> root = ParseToml(text, error);
    if (!root)
        return std::nullopt;
    CProfileReader reader(*root);
    std::optional<CBoardProfile> profile = reader.Read();
    if (!profile)
        error = std::to_string(reader.Refusal().line) + ": " + reader.Refusal().reason;
    return profile;
}

std::optional<CBoardProfile> LoadBoardProfile(const std::string& path, std::string& error)
{
    if (path.empty())
        return DefaultBoardProfile();
    std::ifstream file(path);
    if (!file) {
        error = "cannot read the board profile " + path;
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::optional<CBoardProfile> profile = ParseBoardProfile(text.str(), error);
    if (!profile)
        error = path + ":" + error;
    return profile;
}

const std::string& DefaultBoardProfileText()
{
    static const std::string text = R"(# The built-in experiment box. External RAM fills 0000-DFFF and E700-FFFF;
# each device on the bus answers in its own 256-byte page.
[leds]
pins = "P1"              # LED 0 on P1.0 ... LED 7 on P1.7
lit = "low"

[buttons]
pins = ["P3.2", "P3.3"]  # button 0 on INT0, button 1 on INT1; pressed = low

[pulse]
pin = "P3.4"             # the pulse generator on T0

[motor]
drive = "PC0"            # high = on; the speed follows the duty cycle
encoder = "P3.5"         # encoder pulses on T1
pulses-per-turn = 20
max-rpm = 3000

[ppi]
address = 0xE000         # E000 PA, E001 PB, E002 PC, E003 control

[switches]
pins = "PA"              # DIP switch 0 on PA0 ... 7 on PA7; on = high

[stepper]
phases = ["PB0", "PB1", "PB2", "PB3"]   # windings A-D, high = energised
step-degrees = 7.5

[ctc]
address = 0xE100         # E100-E102 counters 0-2, E103 control; clock = machine cycle

[buzzer]
pin = "OUT0"             # sounds while counter 0 makes a tone

[seg7]
address = 0xE200         # E200 segments (bit 0 = a ... bit 6 = g, bit 7 = dp; 1 = lit), E201 digits (bit n = digit n)

[keypad]
address = 0xE300         # write: rows (bits 0-3, 0 = driven); read: columns (bits 0-3, 0 = key down in a driven row)

[lcd]
address = 0xE400         # E400 instruction (write) / busy flag and address (read), E401 data

[adc]
address = 0xE500         # write E50n: start channel n; read: the result
eoc = "PC7"              # high when the conversion has ended

[dac]
address = 0xE600

[heater]
channel = 7              # its sensor on A/D input 7 (0-255 for 0-100 degrees); the D/A sets its power
)";
    return text;
}

const CBoardProfile& DefaultBoardProfile()
{
    static const CBoardProfile profile = [] {
        std::string error;
        return *ParseBoardProfile(DefaultBoardProfileText(), error);
    }();
    return profile;
}

std::string WiringTable(const CBoardProfile& p)
{
    std::ostringstream table;
    auto pins = [](const std::vector<CPin>& list) {
        std::string text;
        for (const CPin& pin : list)
            text += (text.empty() ? "" : " ") + PinName(pin);
        return text;
    };
    auto row = [&table](const std::string& device, const std::string& wiring) {
        table << "  " << device << std::string(device.size() < 18 ? 18 - device.size() : 1, ' ') << wiring << "\n";
    };
    auto page = [](WORD address) {
        char text[16];
        std::snprintf(text, sizeof text, "%04X", address);
        return std::string(text);
    };
    if (p.leds)
        row("LEDs 0-7", pins(p.leds->pins) + (p.leds->litWhenLow ? " (lit when low)" : " (lit when high)"));
    if (p.switches)
        row("DIP switches 0-7", pins(p.switches->pins) + " (on = high)");
    if (p.buttons)
        row("buttons 0-1", pins(p.buttons->pins) + " (down = low)");
    if (p.pulse)
        row("pulse generator", PinName(p.pulse->pin));
    if (p.buzzer)
        row("buzzer", PinName(p.buzzer->pin));
    if (p.motor)
        row("DC motor", "drive " + PinName(p.motor->drive) + " (high = on), encoder " + PinName(p.motor->encoder) + " ("
                + std::to_string(p.motor->pulsesPerTurn) + " pulses a turn)");
    if (p.stepper)
        row("stepper A-D", pins(p.stepper->phases) + " (high = energised)");
    if (p.ppi)
        row("parallel chip", page(p.ppi->address) + " PA, +1 PB, +2 PC, +3 control (mode 0)");
    if (p.ctc)
        row("counter chip", page(p.ctc->address) + " counters 0-2, +3 control (modes 0, 2, 3, 4)");
    if (p.seg7)
        row("7-segment", page(p.seg7->address) + " segments (bit 0 = a, 7 = dp), +1 digits (bit n = digit n)");
    if (p.keypad)
        row("keypad 4x4", page(p.keypad->address) + " write rows, read columns (0 = active); key = row*4 + column");
    if (p.lcd)
        row("LCD 16x2", page(p.lcd->address) + " instruction / busy and address, +1 data");
    if (p.adc)
        row("A/D 8 channels", page(p.adc->address) + "+n start channel n, read result"
                + (p.adc->eoc ? ", end of conversion " + PinName(*p.adc->eoc) : std::string()));
    if (p.dac)
        row("D/A", page(p.dac->address));
    if (p.heater)
        row("heater", "D/A power (00 off, FF full), sensor A/D input " + std::to_string(p.heater->channel)
                + " (0-100 deg)");
    return table.str();
}

}
