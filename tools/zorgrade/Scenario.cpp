#include "tools/zorgrade/Scenario.h"

#include <algorithm>
#include <fstream>
#include <numeric>
#include <set>
#include <sstream>

#include "sim/TomlText.h"

namespace zorgrade {

namespace {

using zorkit::sim::CPin;

int LineOf(const toml::node& node) { return int(node.source().begin.line); }

std::string ReadFile(const std::filesystem::path& path, bool& ok)
{
    std::ifstream in(path, std::ios::binary);
    ok = bool(in);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A refusal on its way out of the reader: the line and why.
struct CRefusal {
    int line;
    std::string reason;
};

// Reads one table (the root, [limits], an [[input]] or a [[check]]) and refuses any key
// it was not asked for, so a misspelt key is named rather than ignored.
class CTableReader {
public:
    CTableReader(const toml::table& table, std::string where) : m_table(table), m_where(std::move(where)) {}

    bool Has(const char* key) const { return m_table.contains(key); }
    int Line() const { return LineOf(m_table); }
    int LineOfKey(const char* key) const { return Has(key) ? LineOf(*m_table.get(key)) : Line(); }

    const toml::node* Node(const char* key)
    {
        m_known.insert(key);
        return m_table.get(key);
    }

    std::optional<std::int64_t> Integer(const char* key, std::int64_t low, std::int64_t high)
    {
        const toml::node* node = Node(key);
        if (!node)
            return std::nullopt;
        std::optional<std::int64_t> value = node->value_exact<std::int64_t>();
        if (!value)
            throw CRefusal{LineOf(*node), std::string(key) + " takes a whole number"};
        if (*value < low || *value > high)
            throw CRefusal{LineOf(*node), std::string(key) + " must be from " + std::to_string(low) + " to "
                    + std::to_string(high) + ", not " + std::to_string(*value)};
        return value;
    }

    std::optional<double> Real(const char* key, double low, double high)
    {
        const toml::node* node = Node(key);
        if (!node)
            return std::nullopt;
        std::optional<double> value = node->value<double>();
        if (!value || !(*value >= low && *value <= high))
            throw CRefusal{LineOf(*node), std::string(key) + " takes a number from " + Trim(low) + " to " + Trim(high)};
        return value;
    }

    std::optional<std::string> Text(const char* key)
    {
        const toml::node* node = Node(key);
        if (!node)
            return std::nullopt;
        if (!node->is_string())
            throw CRefusal{LineOf(*node), std::string(key) + " takes a quoted text"};
        return node->value<std::string>();
    }

    std::optional<bool> Boolean(const char* key)
    {
        const toml::node* node = Node(key);
        if (!node)
            return std::nullopt;
        if (!node->is_boolean())
            throw CRefusal{LineOf(*node), std::string(key) + " takes true or false"};
        return node->value<bool>();
    }

    std::uint64_t Cycle(const char* key)
    {
        return std::uint64_t(*Integer(key, 0, std::int64_t(1) << 50));
    }

    void RefuseUnknown() const
    {
        for (auto&& [key, node] : m_table)
            if (!m_known.count(std::string(key.str())))
                throw CRefusal{LineOf(node), m_where + " has no setting '" + std::string(key.str()) + "'"};
    }

    [[noreturn]] void Refuse(const char* key, const std::string& reason) const
    {
        throw CRefusal{LineOfKey(key), reason};
    }

private:
    static std::string Trim(double value)
    {
        std::ostringstream text;
        text << value;
        return text.str();
    }

    const toml::table& m_table;
    std::string m_where;
    std::set<std::string> m_known;
};

CPin PortPin(CTableReader& t, const char* key)
{
    std::string name = *t.Text(key);
    std::optional<CPin> pin = zorkit::sim::ParsePin(name);
    if (!pin || pin->chip != CPin::Chip::Cpu)
        t.Refuse(key, std::string(key) + " names a pin of the 8051's ports, P0.0 to P3.7, not '" + name + "'");
    return *pin;
}

std::uint16_t Address(CTableReader& t, const char* key)
{
    return std::uint16_t(*t.Integer(key, 0, 0xFFFF));
}

std::vector<std::uint8_t> Bytes(CTableReader& t, const char* key)
{
    const toml::node* node = t.Node(key);
    std::vector<std::uint8_t> bytes;
    if (const toml::array* list = node->as_array()) {
        for (const toml::node& element : *list) {
            std::optional<std::int64_t> value = element.value_exact<std::int64_t>();
            if (!value || *value < 0 || *value > 0xFF)
                throw CRefusal{LineOf(element), std::string(key) + " holds bytes, 0 to 0xFF"};
            bytes.push_back(std::uint8_t(*value));
        }
    } else if (node->is_string()) {
        std::string text = *node->value<std::string>();
        bytes.assign(text.begin(), text.end());
    } else {
        std::optional<std::int64_t> value = node->value_exact<std::int64_t>();
        if (!value || *value < 0 || *value > 0xFF)
            throw CRefusal{LineOf(*node), std::string(key) + " takes a byte, a list of bytes or a quoted text"};
        bytes.push_back(std::uint8_t(*value));
    }
    if (bytes.empty())
        throw CRefusal{LineOf(*node), std::string(key) + " holds no byte"};
    return bytes;
}

const std::set<std::string>& RegisterNames()
{
    static const std::set<std::string> names{"A", "B", "PSW", "SP", "DPL", "DPH", "DPTR", "PC", "R0", "R1", "R2",
        "R3", "R4", "R5", "R6", "R7"};
    return names;
}

CInput ReadInput(CTableReader& t)
{
    CInput input;
    if (!t.Has("at"))
        t.Refuse("at", "an [[input]] needs at = MACHINE-CYCLE");
    input.at = t.Cycle("at");
    static const char* kinds[] = {"switch", "button", "key", "knob", "pulse", "serial"};
    int given = 0;
    for (const char* kind : kinds)
        given += t.Has(kind);
    if (given != 1)
        throw CRefusal{t.Line(), "an [[input]] takes one of switch, button, key, knob, pulse, serial"};
    if (t.Has("switch")) {
        input.kind = CInput::Kind::Switch;
        input.number = int(*t.Integer("switch", 0, 7));
        input.on = t.Boolean("on").value_or(true);
    } else if (t.Has("button")) {
        input.kind = CInput::Kind::Button;
        input.number = int(*t.Integer("button", 0, 1));
        input.on = t.Boolean("down").value_or(true);
    } else if (t.Has("key")) {
        input.kind = CInput::Kind::Key;
        input.number = int(*t.Integer("key", 0, 15));
        input.on = t.Boolean("down").value_or(true);
    } else if (t.Has("knob")) {
        input.kind = CInput::Kind::Knob;
        input.number = int(*t.Integer("knob", 0, 7));
        if (!t.Has("value"))
            t.Refuse("knob", "a knob input needs value = 0..255");
        input.value = long(*t.Integer("value", 0, 255));
    } else if (t.Has("pulse")) {
        input.kind = CInput::Kind::Pulse;
        input.value = long(*t.Integer("pulse", 0, 50000));
    } else {
        input.kind = CInput::Kind::Serial;
        input.text = *t.Text("serial");
        if (input.text.empty())
            t.Refuse("serial", "serial sends at least one byte");
    }
    t.RefuseUnknown();
    return input;
}

CMoment ReadMoment(CTableReader& t)
{
    CMoment moment;
    int given = t.Has("at") + t.Has("within") + t.Has("breakpoint");
    if (given != 1)
        throw CRefusal{t.Line(), "a check takes one of at, within, breakpoint"};
    if (t.Has("at")) {
        moment.kind = CMoment::Kind::At;
        moment.from = t.Cycle("at");
    } else if (t.Has("breakpoint")) {
        moment.kind = CMoment::Kind::Breakpoint;
        moment.address = Address(t, "breakpoint");
    } else {
        moment.kind = CMoment::Kind::Within;
        const toml::array* window = t.Node("within")->as_array();
        std::optional<std::int64_t> from, to;
        if (window && window->size() == 2) {
            from = (*window)[0].value_exact<std::int64_t>();
            to = (*window)[1].value_exact<std::int64_t>();
        }
        if (!from || !to || *from < 0 || *to <= *from)
            t.Refuse("within", "within takes [FROM, TO], two machine cycles with FROM before TO");
        moment.from = std::uint64_t(*from);
        moment.to = std::uint64_t(*to);
    }
    return moment;
}

CExpectation ReadExpectation(CTableReader& t)
{
    if (t.Has("leds")) {
        std::string pattern = *t.Text("leds");
        if (pattern.empty() || pattern.find_first_not_of("*.?") != std::string::npos)
            t.Refuse("leds", "leds is a row of * (lit), . (dark) and ? (either), LED 0 first");
        return CLedsSeen{pattern};
    }
    if (t.Has("seg7"))
        return CDigitsSeen{*t.Text("seg7")};
    if (t.Has("lcd")) {
        const toml::node* node = t.Node("lcd");
        CLcdSeen seen;
        if (node->is_string()) {
            seen.lines.push_back(*node->value<std::string>());
        } else if (const toml::array* lines = node->as_array(); lines && !lines->empty() && lines->size() <= 2) {
            for (const toml::node& line : *lines) {
                if (!line.is_string())
                    throw CRefusal{LineOf(line), "lcd takes one or two quoted lines"};
                seen.lines.push_back(*line.value<std::string>());
            }
        } else {
            t.Refuse("lcd", "lcd takes a quoted line or [\"line 1\", \"line 2\"]");
        }
        return seen;
    }
    if (t.Has("pin")) {
        CPinSeen seen{PortPin(t, "pin"), true};
        if (!t.Has("level"))
            t.Refuse("pin", "a pin check needs level = 0 or 1");
        seen.level = *t.Integer("level", 0, 1) == 1;
        return seen;
    }
    if (t.Has("port")) {
        std::string name = *t.Text("port");
        if (name.size() != 2 || name[0] != 'P' || name[1] < '0' || name[1] > '3')
            t.Refuse("port", "port names P0, P1, P2 or P3, not '" + name + "'");
        if (!t.Has("value"))
            t.Refuse("port", "a port check needs value = BYTE");
        return CPortSeen{name[1] - '0', std::uint8_t(*t.Integer("value", 0, 0xFF))};
    }
    if (t.Has("serial"))
        return CSerialSeen{*t.Text("serial")};
    if (t.Has("iram") || t.Has("xram")) {
        CMemorySeen seen;
        seen.external = t.Has("xram");
        seen.address = Address(t, seen.external ? "xram" : "iram");
        if (!t.Has("value"))
            t.Refuse(seen.external ? "xram" : "iram", "a memory check needs value = BYTE, [BYTES...] or \"TEXT\"");
        seen.bytes = Bytes(t, "value");
        return seen;
    }
    if (t.Has("register")) {
        std::string name = *t.Text("register");
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::toupper(c)); });
        if (!RegisterNames().count(name))
            t.Refuse("register", "register names A, B, PSW, SP, DPL, DPH, DPTR, PC or R0-R7, not '" + name + "'");
        if (!t.Has("value"))
            t.Refuse("register", "a register check needs value = NUMBER");
        bool wide = name == "DPTR" || name == "PC";
        return CRegisterSeen{name, std::uint16_t(*t.Integer("value", 0, wide ? 0xFFFF : 0xFF))};
    }
    throw CRefusal{t.Line(),
        "a check looks at one of leds, seg7, lcd, pin, port, serial, iram, xram, register, toggles, reaches, halts"};
}

CCheck ReadCheck(CTableReader& t, std::size_t index)
{
    CCheck check;
    check.line = t.Line();
    check.name = t.Text("name").value_or("check " + std::to_string(index + 1));
    check.points = int(t.Integer("points", 0, 1000).value_or(1));
    if (t.Has("toggles")) {
        CToggle toggle;
        toggle.pin = PortPin(t, "toggles");
        CMoment window = ReadMoment(t);
        if (window.kind != CMoment::Kind::Within)
            t.Refuse("toggles", "a toggles check is measured within = [FROM, TO]");
        toggle.from = window.from;
        toggle.to = window.to;
        if (!t.Has("period"))
            t.Refuse("toggles", "a toggles check needs period = MACHINE-CYCLES");
        toggle.period = std::uint64_t(*t.Integer("period", 2, std::int64_t(1) << 40));
        toggle.tolerance = std::uint64_t(t.Integer("tolerance", 0, std::int64_t(1) << 40).value_or(0));
        if (toggle.to - toggle.from < toggle.period)
            t.Refuse("within", "the window is shorter than one period");
        check.what = toggle;
    } else if (t.Has("reaches")) {
        if (!t.Has("by"))
            t.Refuse("reaches", "a reaches check needs by = MACHINE-CYCLE");
        check.what = CReach{Address(t, "reaches"), t.Cycle("by")};
    } else if (t.Has("halts")) {
        if (!*t.Boolean("halts"))
            t.Refuse("halts", "halts can only be true");
        if (!t.Has("by"))
            t.Refuse("halts", "a halts check needs by = MACHINE-CYCLE");
        check.what = CHalt{t.Cycle("by")};
    } else {
        CMoment moment = ReadMoment(t);
        check.what = std::make_pair(moment, ReadExpectation(t));
    }
    t.RefuseUnknown();
    return check;
}

// The latest machine cycle a check or an input names.
std::uint64_t LastCycle(const CCheck& check)
{
    struct {
        std::uint64_t operator()(const std::pair<CMoment, CExpectation>& seen) const
        {
            return seen.first.kind == CMoment::Kind::Within ? seen.first.to : seen.first.from;
        }
        std::uint64_t operator()(const CToggle& toggle) const { return toggle.to; }
        std::uint64_t operator()(const CReach& reach) const { return reach.by; }
        std::uint64_t operator()(const CHalt& halt) const { return halt.by; }
    } last;
    return std::visit(last, check.what);
}

// Why the board cannot give the input, or nothing when it can.
std::optional<std::string> MissingFor(const CInput& input, const zorkit::sim::CBoardProfile& board)
{
    switch (input.kind) {
    case CInput::Kind::Switch:
        if (!board.switches || std::size_t(input.number) >= board.switches->pins.size())
            return "the board has no switch " + std::to_string(input.number);
        break;
    case CInput::Kind::Button:
        if (!board.buttons || std::size_t(input.number) >= board.buttons->pins.size())
            return "the board has no button " + std::to_string(input.number);
        break;
    case CInput::Kind::Key:
        if (!board.keypad)
            return std::string("the board has no keypad");
        break;
    case CInput::Kind::Knob:
        if (!board.adc)
            return std::string("the board has no A/D converter for a knob");
        if (board.heater && board.heater->channel == input.number)
            return "A/D input " + std::to_string(input.number) + " reads the heater's sensor, not a knob";
        break;
    case CInput::Kind::Pulse:
        if (!board.pulse)
            return std::string("the board has no pulse generator");
        break;
    case CInput::Kind::Serial: break;
    }
    return std::nullopt;
}

// Why the board has nothing the check could look at, or nothing when it has.
std::optional<std::string> MissingFor(const CCheck& check, const zorkit::sim::CBoardProfile& board)
{
    const auto* seen = std::get_if<std::pair<CMoment, CExpectation>>(&check.what);
    if (!seen)
        return std::nullopt;
    if (const auto* leds = std::get_if<CLedsSeen>(&seen->second)) {
        if (!board.leds)
            return std::string("the board has no LEDs");
        if (leds->pattern.size() != board.leds->pins.size())
            return "the board has " + std::to_string(board.leds->pins.size()) + " LEDs, and leds names "
                + std::to_string(leds->pattern.size());
    }
    if (std::holds_alternative<CDigitsSeen>(seen->second) && !board.seg7)
        return std::string("the board has no 7-segment display");
    if (std::holds_alternative<CLcdSeen>(seen->second) && !board.lcd)
        return std::string("the board has no LCD");
    return std::nullopt;
}

const toml::array* Tables(const toml::table& root, const char* key)
{
    const toml::node* node = root.get(key);
    if (!node)
        return nullptr;
    const toml::array* list = node->as_array();
    if (!list || !list->is_array_of_tables())
        throw CRefusal{LineOf(*node), std::string(key) + " entries are written [[" + key + "]]"};
    return list;
}

CScenario ReadScenario(const toml::table& root, const std::filesystem::path& folder)
{
    CScenario scenario;
    CTableReader top(root, "the scenario");
    scenario.title = top.Text("title").value_or("");
    scenario.start = std::uint16_t(top.Integer("start", 0, 0xFFFF).value_or(0));
    if (const toml::node* board = top.Node("board")) {
        if (!board->is_string())
            throw CRefusal{LineOf(*board), "board names a board profile file"};
        std::string error;
        std::optional<zorkit::sim::CBoardProfile> profile
            = zorkit::sim::LoadBoardProfile((folder / *board->value<std::string>()).string(), error);
        if (!profile)
            throw CRefusal{LineOf(*board), error};
        scenario.board = *profile;
    } else {
        scenario.board = zorkit::sim::DefaultBoardProfile();
    }
    const toml::table* limits = nullptr;
    if (const toml::node* node = top.Node("limits"); node && !(limits = node->as_table()))
        throw CRefusal{LineOf(*node), "limits is a table: [limits]"};
    if (!limits || !limits->contains("cycles"))
        throw CRefusal{limits ? LineOf(*limits) : 1, "the scenario needs [limits] with cycles = MACHINE-CYCLES"};
    CTableReader limitReader(*limits, "[limits]");
    scenario.cycleLimit = std::uint64_t(*limitReader.Integer("cycles", 1, std::int64_t(1) << 40));
    scenario.wallSeconds = limitReader.Real("wall-seconds", 0.001, 3600).value_or(10);
    scenario.stackTop = std::uint8_t(limitReader.Integer("stack-top", 0x08, 0xFF).value_or(0xFF));
    limitReader.RefuseUnknown();

    top.Node("input");
    top.Node("check");
    top.RefuseUnknown();
    if (const toml::array* inputs = Tables(root, "input")) {
        for (const toml::node& node : *inputs) {
            CTableReader reader(*node.as_table(), "an [[input]]");
            scenario.inputs.push_back(ReadInput(reader));
            if (std::optional<std::string> missing = MissingFor(scenario.inputs.back(), scenario.board))
                throw CRefusal{reader.Line(), *missing};
            if (scenario.inputs.back().at > scenario.cycleLimit)
                reader.Refuse("at", "the input comes after the limit of " + std::to_string(scenario.cycleLimit)
                        + " cycles");
        }
    }
    std::stable_sort(scenario.inputs.begin(), scenario.inputs.end(),
        [](const CInput& a, const CInput& b) { return a.at < b.at; });
    const toml::array* checks = Tables(root, "check");
    if (!checks || checks->empty())
        throw CRefusal{1, "the scenario has no [[check]]"};
    for (const toml::node& node : *checks) {
        CTableReader reader(*node.as_table(), "a [[check]]");
        scenario.checks.push_back(ReadCheck(reader, scenario.checks.size()));
        if (std::optional<std::string> missing = MissingFor(scenario.checks.back(), scenario.board))
            throw CRefusal{reader.Line(), *missing};
        if (LastCycle(scenario.checks.back()) > scenario.cycleLimit)
            throw CRefusal{reader.Line(),
                "the check looks past the limit of " + std::to_string(scenario.cycleLimit) + " cycles"};
    }
    return scenario;
}

}

int CScenario::TotalPoints() const
{
    return std::accumulate(checks.begin(), checks.end(), 0, [](int sum, const CCheck& c) { return sum + c.points; });
}

std::optional<CScenario> ParseScenario(const std::string& text, const std::filesystem::path& folder, std::string& error)
{
    std::optional<toml::table> root = zorkit::sim::ParseToml(text, error);
    if (!root)
        return std::nullopt;
    try {
        return ReadScenario(*root, folder);
    } catch (const CRefusal& refusal) {
        error = std::to_string(refusal.line) + ": " + refusal.reason;
        return std::nullopt;
    }
}

std::optional<CScenario> LoadScenario(const std::filesystem::path& path, std::string& error)
{
    bool read = false;
    std::string text = ReadFile(path, read);
    if (!read) {
        error = "cannot read the scenario " + path.string();
        return std::nullopt;
    }
    std::optional<CScenario> scenario = ParseScenario(text, path.parent_path(), error);
    if (!scenario)
        error = path.string() + ":" + error;
    return scenario;
}

}
