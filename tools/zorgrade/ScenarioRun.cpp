#include "tools/zorgrade/ScenarioRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <set>

#include "sim/BoardMemory.h"
#include "sim/cpu/Core8051.h"
#include "sim/cpu/CoreIo.h"
#include "sim/devices/CoreDevices.h"

namespace zorgrade {

namespace {

using zorkit::sim::C8051Core;
using zorkit::sim::CBoardMemory;
using zorkit::sim::CCoreDevices;
using zorkit::sim::CDeviceBoard;
using zorkit::sim::MemorySpace;

// Between two looks at the wall clock the core runs at most this many cycles.
constexpr std::uint64_t kWallSlice = 100000;
constexpr BYTE kSp = 0x81;

std::string Hex(unsigned value, int digits)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string TrimRight(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Control bytes of serial text written as \n, \r, \xNN, so a detail stays one line.
std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c >= 0x7F)
            out += "\\x" + Hex(c, 2).substr(2);
        else
            out += char(c);
    }
    return out;
}

// The program sits in a jump to itself (SJMP $, AJMP or LJMP to its own address).
bool OnJumpToItself(const BYTE* code, WORD pc)
{
    BYTE op = code[pc];
    BYTE next = code[WORD(pc + 1)];
    if (op == 0x80)
        return next == 0xFE;
    if (op == 0x02)
        return WORD(next << 8 | code[WORD(pc + 2)]) == pc;
    if ((op & 0x1F) == 0x01)
        return WORD((WORD(pc + 2) & 0xF800) | (op >> 5) << 8 | next) == pc;
    return false;
}

class CScenarioRun : private zorkit::sim::CSerialPeer {
public:
    CScenarioRun(const CScenario& scenario, const std::vector<CIntelHex::Run>& program)
        : m_scenario(scenario), m_results(scenario.checks.size()), m_decided(scenario.checks.size()),
          m_open(scenario.checks.size()), m_edges(scenario.checks.size())
    {
        for (const CIntelHex::Run& run : program)
            m_memory.Write(MemorySpace::Code, WORD(run.address), run.bytes.data(), run.bytes.size());
        // As the monitor starts a program: a reset, then PC at the start.
        m_core.Reset();
        m_core.SetPC(scenario.start);
        m_devices.emplace(m_core, scenario.board);
        m_core.AttachSerialPeer(this);
        m_core.SetPortObserver([this](int port, BYTE) { OnPortChange(port); });
        m_devices->Act([this](CDeviceBoard& devices) {
            devices.SetEventObserver([this](const zorkit::sim::CDeviceEvent&) { LookAtWindows(); });
        });
        m_core.SetTraceObserver([this](WORD pc) { WatchStack(pc); });
        for (std::size_t i = 0; i < scenario.checks.size(); ++i) {
            const CCheck& check = scenario.checks[i];
            if (const auto* seen = std::get_if<std::pair<CMoment, CExpectation>>(&check.what)) {
                if (seen->first.kind == CMoment::Kind::Breakpoint)
                    m_stops.set(seen->first.address);
            } else if (const auto* reach = std::get_if<CReach>(&check.what)) {
                m_stops.set(reach->address);
            }
        }
    }

    ~CScenarioRun() override
    {
        m_core.SetTraceObserver({});
        m_core.SetPortObserver({});
        m_core.AttachSerialPeer(nullptr);
    }

    CRunResult Run()
    {
        m_wallStart = std::chrono::steady_clock::now();
        std::size_t nextInput = 0;
        for (std::uint64_t moment : Moments()) {
            if (!RunTo(moment))
                break;
            for (; nextInput < m_scenario.inputs.size() && m_scenario.inputs[nextInput].at <= moment; ++nextInput)
                Apply(m_scenario.inputs[nextInput]);
            Reached(moment);
        }
        CRunResult result;
        result.cycles = m_core.Cycles();
        result.ending = m_ending;
        for (std::size_t i = 0; i < m_results.size(); ++i) {
            if (m_decided[i])
                continue;
            if (!m_ending.empty())
                Decide(i, false, m_ending);
            else if (const auto* seen = std::get_if<std::pair<CMoment, CExpectation>>(&m_scenario.checks[i].what))
                Decide(i, false, "the program never reached " + Hex(seen->first.address, 4) + " in its "
                        + std::to_string(m_scenario.cycleLimit) + " machine cycles");
        }
        result.checks = std::move(m_results);
        return result;
    }

private:
    // Every machine cycle at which the run must stop to give an input or decide a check.
    std::vector<std::uint64_t> Moments() const
    {
        std::set<std::uint64_t> moments{m_scenario.cycleLimit};
        for (const CInput& input : m_scenario.inputs)
            moments.insert(input.at);
        for (const CCheck& check : m_scenario.checks) {
            if (const auto* seen = std::get_if<std::pair<CMoment, CExpectation>>(&check.what)) {
                if (seen->first.kind != CMoment::Kind::Breakpoint)
                    moments.insert(seen->first.from);
                if (seen->first.kind == CMoment::Kind::Within)
                    moments.insert(seen->first.to);
            } else if (const auto* toggle = std::get_if<CToggle>(&check.what)) {
                moments.insert({toggle->from, toggle->to});
            } else if (const auto* reach = std::get_if<CReach>(&check.what)) {
                moments.insert(reach->by);
            } else {
                moments.insert(std::get<CHalt>(check.what).by);
            }
        }
        return {moments.begin(), moments.end()};
    }

    // Runs the core to `moment`, stopping at breakpoints on the way; false when the
    // program ended the run.
    bool RunTo(std::uint64_t moment)
    {
        while (m_ending.empty() && m_core.Cycles() < moment) {
            std::uint64_t budget = std::min(moment - m_core.Cycles(), kWallSlice);
            C8051Core::Stop stop = m_core.Run(budget, m_stops, m_leaveStop);
            m_leaveStop = false;
            if (!m_ending.empty())
                break;
            if (stop == C8051Core::Stop::Undefined) {
                End("the program ran into the undefined opcode A5 at " + Hex(m_core.PC(), 4));
            } else if (stop == C8051Core::Stop::Address) {
                AtBreakpoint(m_core.PC());
                m_leaveStop = true;
            }
            if (m_ending.empty()
                && std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wallStart).count()
                    > m_scenario.wallSeconds)
                End("the program ran longer than the limit of " + Seconds(m_scenario.wallSeconds) + " of wall time");
        }
        return m_ending.empty();
    }

    static std::string Seconds(double seconds)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%g s", seconds);
        return text;
    }

    void End(const std::string& reason)
    {
        m_ending = reason + " (machine cycle " + std::to_string(m_core.Cycles()) + ")";
        // Called while the core runs, this stops it before its next instruction.
        m_stops.set();
    }

    void WatchStack(WORD pc)
    {
        BYTE sp = m_core.ReadSfr(kSp);
        // A push or call from the top of internal RAM wraps SP round to 00 or 01.
        bool wrapped = m_lastSp >= 0xFD && sp <= 0x01;
        if (m_ending.empty() && (sp > m_scenario.stackTop || wrapped))
            End("stack overflow: SP went past " + Hex(wrapped ? 0xFF : m_scenario.stackTop, 2) + " before "
                + Hex(pc, 4));
        m_lastSp = sp;
    }

    void Apply(const CInput& input)
    {
        if (input.kind == CInput::Kind::Serial) {
            for (unsigned char c : input.text)
                m_core.ReceiveSerial(c);
            return;
        }
        m_devices->Act([&input](CDeviceBoard& devices) {
            switch (input.kind) {
            case CInput::Kind::Switch: devices.SetSwitch(input.number, input.on); break;
            case CInput::Kind::Button: devices.SetButton(input.number, input.on); break;
            case CInput::Kind::Key: devices.SetKey(input.number, input.on); break;
            case CInput::Kind::Knob: devices.SetKnob(input.number, int(input.value)); break;
            case CInput::Kind::Pulse: devices.SetPulseRate(input.value); break;
            case CInput::Kind::Serial: break;
            }
        });
    }

    // The run stands at `moment`: the checks due now are decided, windows open or close.
    void Reached(std::uint64_t moment)
    {
        m_devices->Act([](CDeviceBoard&) {});
        for (std::size_t i = 0; i < m_results.size(); ++i) {
            if (m_decided[i])
                continue;
            const CCheck& check = m_scenario.checks[i];
            if (const auto* seen = std::get_if<std::pair<CMoment, CExpectation>>(&check.what)) {
                const CMoment& when = seen->first;
                if (when.kind == CMoment::Kind::At && when.from == moment) {
                    Judge(i, seen->second);
                } else if (when.kind == CMoment::Kind::Within) {
                    if (when.from == moment)
                        m_open[i] = true;
                    if (m_open[i] && Matches(seen->second))
                        Decide(i, true, Seen(seen->second));
                    else if (when.to == moment)
                        Decide(i, false, "never " + Expected(seen->second) + " from cycle " + std::to_string(when.from)
                                + " to " + std::to_string(when.to) + "; at the end, " + Seen(seen->second));
                }
            } else if (const auto* toggle = std::get_if<CToggle>(&check.what)) {
                if (toggle->from == moment) {
                    m_open[i] = true;
                    m_lastLevel[i] = Level(toggle->pin);
                }
                if (toggle->to == moment)
                    JudgeToggle(i, *toggle);
            } else if (const auto* reach = std::get_if<CReach>(&check.what)) {
                if (reach->by == moment)
                    Decide(i, false, "did not reach " + Hex(reach->address, 4) + " by cycle " + std::to_string(reach->by)
                            + "; PC was " + Hex(m_core.PC(), 4));
            } else if (std::get<CHalt>(check.what).by == moment) {
                bool halted = OnJumpToItself(m_memory.Bytes(MemorySpace::Code), m_core.PC());
                Decide(i, halted, halted ? "halted at " + Hex(m_core.PC(), 4)
                        : "still running at cycle " + std::to_string(moment) + ", at " + Hex(m_core.PC(), 4)
                            + ", which is no jump to itself");
            }
        }
    }

    void AtBreakpoint(WORD pc)
    {
        m_devices->Act([](CDeviceBoard&) {});
        for (std::size_t i = 0; i < m_results.size(); ++i) {
            if (m_decided[i])
                continue;
            const CCheck& check = m_scenario.checks[i];
            if (const auto* seen = std::get_if<std::pair<CMoment, CExpectation>>(&check.what)) {
                if (seen->first.kind == CMoment::Kind::Breakpoint && seen->first.address == pc)
                    Judge(i, seen->second);
            } else if (const auto* reach = std::get_if<CReach>(&check.what); reach && reach->address == pc) {
                Decide(i, true, "reached " + Hex(pc, 4) + " at cycle " + std::to_string(m_core.Cycles()));
            }
        }
        // A breakpoint in a loop would stop every turn; once its checks are decided it goes.
        m_stops.reset(pc);
    }

    void OnPortChange(int port)
    {
        for (std::size_t i = 0; i < m_results.size(); ++i) {
            const auto* toggle = std::get_if<CToggle>(&m_scenario.checks[i].what);
            if (!toggle || !m_open[i] || m_decided[i] || toggle->pin.port != port)
                continue;
            bool level = Level(toggle->pin);
            if (level && !m_lastLevel[i])
                m_edges[i].push_back(m_core.Cycles());
            m_lastLevel[i] = level;
        }
        LookAtWindows();
    }

    void Transmitted(BYTE data, bool) override
    {
        m_serial += char(data);
        LookAtWindows();
    }

    // Something the checks look at changed while the program runs.
    void LookAtWindows()
    {
        if (!m_ending.empty())
            return;
        for (std::size_t i = 0; i < m_results.size(); ++i) {
            if (!m_open[i] || m_decided[i])
                continue;
            const auto* seen = std::get_if<std::pair<CMoment, CExpectation>>(&m_scenario.checks[i].what);
            if (seen && m_core.Cycles() <= seen->first.to && Matches(seen->second))
                Decide(i, true, Seen(seen->second));
        }
    }

    bool Level(const zorkit::sim::CPin& pin) const { return m_core.Pins(pin.port) >> pin.bit & 1; }

    void JudgeToggle(std::size_t i, const CToggle& toggle)
    {
        const std::vector<std::uint64_t>& edges = m_edges[i];
        std::string pin = zorkit::sim::PinName(toggle.pin);
        if (edges.size() < 2) {
            Decide(i, false, pin + " rose " + std::to_string(edges.size()) + " times from cycle "
                    + std::to_string(toggle.from) + " to " + std::to_string(toggle.to) + ": no period to measure");
            return;
        }
        std::uint64_t shortest = ~std::uint64_t(0), longest = 0;
        for (std::size_t e = 1; e < edges.size(); ++e) {
            shortest = std::min(shortest, edges[e] - edges[e - 1]);
            longest = std::max(longest, edges[e] - edges[e - 1]);
        }
        bool steady = shortest + toggle.tolerance >= toggle.period && longest <= toggle.period + toggle.tolerance;
        std::string measured = pin + " toggled with periods of " + std::to_string(shortest)
            + (longest != shortest ? " to " + std::to_string(longest) : std::string()) + " cycles";
        Decide(i, steady, steady ? measured : measured + ", not " + std::to_string(toggle.period) + " ± "
                + std::to_string(toggle.tolerance));
    }

    void Judge(std::size_t i, const CExpectation& expectation)
    {
        bool passed = Matches(expectation);
        Decide(i, passed, passed ? Seen(expectation) : Seen(expectation) + "; expected " + Expected(expectation));
    }

    void Decide(std::size_t i, bool passed, const std::string& detail)
    {
        CCheckResult& result = m_results[i];
        result.passed = passed;
        result.detail = detail;
        result.cycle = m_core.Cycles();
        if (!passed)
            result.board = m_devices->Devices().Show();
        m_decided[i] = true;
        m_open[i] = false;
    }

    std::string Text(const std::string& device) const { return m_devices->Devices().State(device); }

    bool Matches(const CExpectation& expectation) const
    {
        const CDeviceBoard& board = m_devices->Devices();
        struct {
            const CScenarioRun& run;
            const CDeviceBoard& board;
            bool operator()(const CLedsSeen& leds) const
            {
                std::string lit = run.Text("leds");
                if (lit.size() != leds.pattern.size())
                    return false;
                for (std::size_t n = 0; n < lit.size(); ++n)
                    if (leds.pattern[n] != '?' && leds.pattern[n] != lit[n])
                        return false;
                return true;
            }
            bool operator()(const CDigitsSeen& digits) const
            {
                return board.SevenSegment()->Text(board.Cycle()) == digits.text;
            }
            bool operator()(const CLcdSeen& lcd) const
            {
                for (std::size_t row = 0; row < lcd.lines.size(); ++row)
                    if (TrimRight(board.Lcd()->Line(int(row))) != TrimRight(lcd.lines[row]))
                        return false;
                return true;
            }
            bool operator()(const CPinSeen& pin) const { return run.Level(pin.pin) == pin.level; }
            bool operator()(const CPortSeen& port) const { return run.m_core.Pins(port.port) == port.value; }
            bool operator()(const CSerialSeen& serial) const { return run.m_serial.find(serial.text) != std::string::npos; }
            bool operator()(const CMemorySeen& memory) const { return run.Memory(memory) == memory.bytes; }
            bool operator()(const CRegisterSeen& reg) const { return run.Register(reg.name) == reg.value; }
        } matches{*this, board};
        return std::visit(matches, expectation);
    }

    // What the board shows of what the expectation looks at, with the cycle.
    std::string Seen(const CExpectation& expectation) const
    {
        const CDeviceBoard& board = m_devices->Devices();
        struct {
            const CScenarioRun& run;
            const CDeviceBoard& board;
            std::string operator()(const CLedsSeen&) const { return "LEDs " + run.Text("leds"); }
            std::string operator()(const CDigitsSeen&) const { return "7-segment digits " + run.Text("seg7"); }
            std::string operator()(const CLcdSeen&) const { return "LCD " + run.Text("lcd"); }
            std::string operator()(const CPinSeen& pin) const
            {
                return zorkit::sim::PinName(pin.pin) + " at " + (run.Level(pin.pin) ? "1" : "0");
            }
            std::string operator()(const CPortSeen& port) const
            {
                return "P" + std::to_string(port.port) + " at " + Hex(run.m_core.Pins(port.port), 2);
            }
            std::string operator()(const CSerialSeen&) const { return "serial output \"" + Printable(run.m_serial) + "\""; }
            std::string operator()(const CMemorySeen& memory) const
            {
                std::string text = std::string(memory.external ? "external" : "internal") + " RAM at "
                    + Hex(memory.address, memory.external ? 4 : 2) + ":";
                for (BYTE b : run.Memory(memory))
                    text += " " + Hex(b, 2).substr(2);
                return text;
            }
            std::string operator()(const CRegisterSeen& reg) const
            {
                bool wide = reg.name == "DPTR" || reg.name == "PC";
                return reg.name + " = " + Hex(run.Register(reg.name), wide ? 4 : 2);
            }
        } seen{*this, board};
        return std::visit(seen, expectation) + " at cycle " + std::to_string(m_core.Cycles());
    }

    static std::string Expected(const CExpectation& expectation)
    {
        struct {
            std::string operator()(const CLedsSeen& leds) const { return "LEDs " + leds.pattern; }
            std::string operator()(const CDigitsSeen& digits) const { return "digits \"" + digits.text + "\""; }
            std::string operator()(const CLcdSeen& lcd) const
            {
                std::string text = "LCD";
                for (const std::string& line : lcd.lines)
                    text += " \"" + line + "\"";
                return text;
            }
            std::string operator()(const CPinSeen& pin) const
            {
                return zorkit::sim::PinName(pin.pin) + " at " + (pin.level ? "1" : "0");
            }
            std::string operator()(const CPortSeen& port) const
            {
                return "P" + std::to_string(port.port) + " at " + Hex(port.value, 2);
            }
            std::string operator()(const CSerialSeen& serial) const { return "\"" + Printable(serial.text) + "\" sent"; }
            std::string operator()(const CMemorySeen& memory) const
            {
                std::string text;
                for (BYTE b : memory.bytes)
                    text += (text.empty() ? "" : " ") + Hex(b, 2).substr(2);
                return text;
            }
            std::string operator()(const CRegisterSeen& reg) const
            {
                return reg.name + " = " + Hex(reg.value, reg.name == "DPTR" || reg.name == "PC" ? 4 : 2);
            }
        } expected;
        return std::visit(expected, expectation);
    }

    std::vector<BYTE> Memory(const CMemorySeen& memory) const
    {
        return m_memory.Read(memory.external ? MemorySpace::External : MemorySpace::Internal, memory.address,
            memory.bytes.size());
    }

    std::uint16_t Register(const std::string& name) const
    {
        static const std::pair<const char*, BYTE> sfrs[] = {
            {"A", 0xE0}, {"B", 0xF0}, {"PSW", 0xD0}, {"SP", 0x81}, {"DPL", 0x82}, {"DPH", 0x83}};
        for (const auto& [sfr, address] : sfrs)
            if (name == sfr)
                return m_core.ReadSfr(address);
        if (name == "DPTR")
            return std::uint16_t(m_core.ReadSfr(0x83) << 8 | m_core.ReadSfr(0x82));
        if (name == "PC")
            return m_core.PC();
        return m_core.Register(name[1] - '0');
    }

    const CScenario& m_scenario;
    CBoardMemory m_memory;
    C8051Core m_core{m_memory.Bytes(MemorySpace::Code), m_memory.Bytes(MemorySpace::External),
        m_memory.Bytes(MemorySpace::Internal)};
    std::optional<CCoreDevices> m_devices;
    zorkit::sim::CStopMap m_stops;
    bool m_leaveStop = false;
    std::string m_serial;
    std::string m_ending;
    BYTE m_lastSp = 0x07;
    std::chrono::steady_clock::time_point m_wallStart;
    std::vector<CCheckResult> m_results;
    std::vector<bool> m_decided;
    std::vector<bool> m_open;
    std::vector<std::vector<std::uint64_t>> m_edges;
    std::vector<bool> m_lastLevel = std::vector<bool>(m_results.size());
};

}

CRunResult RunScenario(const CScenario& scenario, const std::vector<CIntelHex::Run>& program)
{
    CScenarioRun run(scenario, program);
    return run.Run();
}

}
