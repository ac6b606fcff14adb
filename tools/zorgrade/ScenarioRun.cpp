#include "tools/zorgrade/ScenarioRun.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <optional>
#include <set>

#include "sim/BoardMemory.h"
#include "sim/cpu/Core8051.h"
#include "sim/cpu/CoreIo.h"
#include "sim/devices/CoreDevices.h"
#include "tools/zorgrade/BoardLook.h"

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
        m_core.SetPortObserver([this](int, BYTE) { LookAtWindows(); });
        const bool toggles = std::any_of(scenario.checks.begin(), scenario.checks.end(),
            [](const CCheck& check) { return std::holds_alternative<CToggle>(check.what); });
        m_devices->Act([this, toggles](CDeviceBoard& devices) {
            devices.SetEventObserver([this](const zorkit::sim::CDeviceEvent&) { LookAtWindows(); });
            // The pins' levels, the program's latches AND what the devices drive: a
            // pin that follows a device (the pulse generator, the motor's encoder) is
            // measured as a logic analyser on the board would see it.
            if (toggles)
                devices.SetSignalObserver([this](std::uint64_t cycle, const zorkit::sim::CBoardSignals& signals) {
                    OnPinsSeen(cycle, signals.cpuPins);
                });
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
            DecideDue(moment, std::nullopt);
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
                Decide(i, false, "the program never reached " + HexNumber(seen->first.address, 4) + " in its "
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
                End("the program ran into the undefined opcode A5 at " + HexNumber(m_core.PC(), 4));
            } else if (stop == C8051Core::Stop::Address) {
                DecideDue(std::nullopt, m_core.PC());
                // A breakpoint in a loop would stop every turn; once its checks are decided it goes.
                m_stops.reset(m_core.PC());
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
            End("stack overflow: SP went past " + HexNumber(wrapped ? 0xFF : m_scenario.stackTop, 2) + " before "
                + HexNumber(pc, 4));
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
            case CInput::Kind::Button: devices.SetButton(input.number, input.on, CDeviceBoard::Timing::Exact); break;
            case CInput::Kind::Key: devices.SetKey(input.number, input.on); break;
            case CInput::Kind::Knob: devices.SetKnob(input.number, int(input.value)); break;
            case CInput::Kind::Pulse: devices.SetPulseRate(input.value); break;
            case CInput::Kind::Serial: break;
            }
        });
    }

    // The run stands at a moment of the scenario or at a breakpoint: the checks due
    // there are decided, windows open or close.
    void DecideDue(std::optional<std::uint64_t> moment, std::optional<WORD> breakpoint)
    {
        // Brings the devices to the core's time before the checks look at them.
        m_devices->Act([](CDeviceBoard&) {});
        for (std::size_t i = 0; i < m_results.size(); ++i) {
            if (m_decided[i])
                continue;
            const CCheck& check = m_scenario.checks[i];
            if (const auto* seen = std::get_if<std::pair<CMoment, CExpectation>>(&check.what)) {
                const CMoment& when = seen->first;
                if ((when.kind == CMoment::Kind::At && when.from == moment)
                    || (when.kind == CMoment::Kind::Breakpoint && when.address == breakpoint)) {
                    Judge(i, seen->second);
                } else if (when.kind == CMoment::Kind::Within && moment) {
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
                if (reach->address == breakpoint)
                    Decide(i, true, "reached " + HexNumber(reach->address, 4) + " at cycle "
                            + std::to_string(m_core.Cycles()));
                else if (reach->by == moment)
                    Decide(i, false, "did not reach " + HexNumber(reach->address, 4) + " by cycle "
                            + std::to_string(reach->by) + "; PC was " + HexNumber(m_core.PC(), 4));
            } else if (std::get<CHalt>(check.what).by == moment) {
                bool halted = OnJumpToItself(m_memory.Bytes(MemorySpace::Code), m_core.PC());
                Decide(i, halted, halted ? "halted at " + HexNumber(m_core.PC(), 4)
                        : "still running at cycle " + std::to_string(*moment) + ", at " + HexNumber(m_core.PC(), 4)
                            + ", which is no jump to itself");
            }
        }
    }

    void OnPinsSeen(std::uint64_t cycle, const std::array<BYTE, 4>& pins)
    {
        for (std::size_t i = 0; i < m_results.size(); ++i) {
            const auto* toggle = std::get_if<CToggle>(&m_scenario.checks[i].what);
            if (!toggle || !m_open[i] || m_decided[i])
                continue;
            bool level = pins[std::size_t(toggle->pin.port)] >> toggle->pin.bit & 1;
            if (level && !m_lastLevel[i])
                m_edges[i].push_back(cycle);
            m_lastLevel[i] = level;
        }
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

    bool Level(const zorkit::sim::CPin& pin) const { return PinLevel(m_core, pin); }

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
        if (!passed) {
            result.board = m_devices->Devices().Show();
            result.panel = boardpanel::CapturePanelState(m_devices->Devices());
        }
        m_decided[i] = true;
        m_open[i] = false;
    }

    CBoardLook Look() { return {m_core, m_memory, m_devices->Devices(), m_serial}; }
    bool Matches(const CExpectation& expectation) { return zorgrade::Matches(expectation, Look()); }
    // What the board shows of what the expectation looks at, with the cycle.
    std::string Seen(const CExpectation& expectation)
    {
        return zorgrade::Seen(expectation, Look()) + " at cycle " + std::to_string(m_core.Cycles());
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
