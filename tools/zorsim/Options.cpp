#include "tools/zorsim/Options.h"

#include "tools/common/Numbers.h"
#include "tools/common/OptionTable.h"
#include "tools/zorsim/DeviceCommands.h"
#include "tools/zorsim/FaultNames.h"

namespace zorsim {

using zorkit::sim::CpuType;
using zorkit::sim::Fault;

namespace {

struct CCpuName {
    const char* name;
    CpuType cpu;
};

constexpr CCpuName kCpuNames[] = {
    {"8051", CpuType::Intel8051},
    {"8086", CpuType::Intel8086},
    {"8098", CpuType::Intel8098},
};

std::optional<CpuType> CpuFromName(const std::string& name)
{
    for (const CCpuName& entry : kCpuNames)
        if (name == entry.name)
            return entry.cpu;
    return std::nullopt;
}

// Milliseconds and the other whole-number settings.
constexpr std::uint32_t kLongestSetting = 3600000;

zorkit::sim::CExperimentSettings& Experiment(COptions& options)
{
    if (!options.experiment)
        options.experiment.emplace();
    return *options.experiment;
}

std::string FaultList()
{
    std::string text = "Faults:\n";
    for (const CFaultName& entry : kFaultNames)
        text += "  " + std::string(entry.name) + std::string(16 - std::string(entry.name).size(), ' ') + entry.meaning + "\n";
    return text;
}

}

std::optional<CArmedFault> ParseFault(const std::string& text, std::string& error)
{
    std::string name = text.substr(0, text.find('='));
    std::optional<Fault> fault = FaultFromName(name);
    if (!fault) {
        error = "unknown fault '" + name + "' (see --help)";
        return std::nullopt;
    }
    bool hasValue = text.find('=') != std::string::npos;
    if (*fault != Fault::WrongAck) {
        if (hasValue) {
            error = "fault '" + name + "' takes no value";
            return std::nullopt;
        }
        return CArmedFault{*fault, 0};
    }
    std::optional<BYTE> wrong = hasValue ? ParseByte(text.substr(text.find('=') + 1)) : std::nullopt;
    if (!wrong) {
        error = "wrong-ack needs a byte, e.g. wrong-ack=0x3C";
        return std::nullopt;
    }
    return CArmedFault{*fault, *wrong};
}

std::optional<int> ParseCommandLine(const std::vector<std::string>& arguments, COptions& options)
{
    using Why = std::optional<std::string>;
    tools::COptionTable table("zorsim", "Usage: zorsim [OPTIONS]",
        "A virtual experiment box on a pseudo-terminal. zorsim prints the terminal's\n"
        "path as its first line on standard output; open that path as the board's\n"
        "serial port. It runs until SIGINT or SIGTERM (exit status 0).");
    table.Value("-c,--cpu", "8051|8086|8098", "CPU type; sets the register image to 26, 28 or\n30 bytes (default 8051)",
        [&](const std::string& name) -> Why {
            std::optional<CpuType> cpu = CpuFromName(name);
            if (!cpu)
                return "unknown CPU '" + name + "' (8051, 8086 or 8098)";
            options.cpu = *cpu;
            return std::nullopt;
        });
    table.Value("--chip", "8051|8052",
        "the 8051 board's chip: 8052 (default) with timer 2\nand 256 bytes of internal RAM, 8051 without timer 2\n"
        "and with 128 bytes",
        [&](const std::string& name) -> Why {
            if (name == "8052")
                options.chip = zorkit::sim::C8051Core::Chip::I8052;
            else if (name == "8051")
                options.chip = zorkit::sim::C8051Core::Chip::I8051;
            else
                return "unknown chip '" + name + "' (8051 or 8052)";
            return std::nullopt;
        });
    table.Value("-s,--stop-delay", "MS",
        "the shortest time from the start of a run to a\nbreakpoint or cursor, or of a step, to the\n"
        "board's stop report (default 200)",
        [&](const std::string& text) -> Why {
            std::optional<std::uint32_t> ms = tools::ParseDecimal(text, kLongestSetting);
            if (!ms)
                return "stop delay must be milliseconds from 0 to 3600000, not '" + text + "'";
            options.stopDelay = std::chrono::milliseconds(*ms);
            return std::nullopt;
        });
    table.Value("--speed", "max|MHZ", "the 8051's crystal: 12 (default) runs one machine\ncycle per microsecond, max as fast as it can",
        [&](const std::string& text) -> Why {
            std::optional<std::uint32_t> megahertz = text == "max" ? 0 : tools::ParseDecimal(text, 1000);
            if (!megahertz || (text != "max" && *megahertz == 0))
                return "speed must be max or a crystal frequency in MHz from 1 to 1000, not '" + text + "'";
            // Twelve oscillator periods make one machine cycle.
            options.machineCyclesPerSecond = std::uint32_t(*megahertz * 1000000ull / 12);
            return std::nullopt;
        });
    table.Flag("--ports", "print every change of a port latch P0-P3 to\nstandard error", options.watchPorts);
    table.Value("--exec-trace", "FILE", "write every executed instruction to FILE:\naddress, code bytes, listing text",
        options.executionTrace);
    table.Value("--board", "FILE", "the board's devices from the profile FILE (TOML,\nas below) instead of the built-in board",
        options.boardFile);
    table.Value("--events", "FILE",
        "write each change of a device's state to FILE as\na JSON line: {\"cycle\":N,\"device\":\"leds\",\"state\":\"...\"}\n"
        "with N the 8051's machine cycle",
        options.eventsFile);
    table.Value("--vcd", "FILE",
        "write the port pins, the devices' signals, the\nserial lines RXD/TXD and the counter chip's\n"
        "outputs to FILE as a value change dump (GTKWave,\nsigrok), one time unit a machine cycle (1 us at 12 MHz)",
        options.vcdFile);
    table.Flag("--uart",
        "put the 8051's serial port on a second pseudo-\nterminal, printed as 'uart: PATH' after the\n"
        "board's path (see The serial port below)",
        options.uart);
    table.Flag("--panel", "show the board's devices in a window of their own;\n"
        "click switches, buttons and keys, drag or wheel\nthe knobs, type 0-9 and A-F for the keypad;\n"
        "closing the window ends zorsim", options.panel);
    table.Flag("--reset", "press the reset key once at start (banner, then\nthe echo test)", options.resetAtStart);
    table.Flag("--silent", "start silent: take in bytes, answer nothing", options.silent);
    table.Value("--plant", "heater|motor|stepper",
        "run a control experiment's plant instead of the\nmonitor: one ADC sample per period, the host's\n"
        "answer drives the plant (stepper: one answer\nbyte per step command)",
        [&](const std::string& name) -> Why {
            if (name == "heater")
                Experiment(options).plant = zorkit::sim::PlantKind::Heater;
            else if (name == "motor")
                Experiment(options).plant = zorkit::sim::PlantKind::Motor;
            else if (name == "stepper")
                Experiment(options).plant = zorkit::sim::PlantKind::Stepper;
            else
                return "unknown plant '" + name + "' (heater, motor or stepper)";
            return std::nullopt;
        });
    auto setting = [](const char* name, auto set) {
        return [name, set](const std::string& text) -> Why {
            std::optional<std::uint32_t> number = tools::ParseDecimal(text, kLongestSetting);
            if (!number)
                return std::string(name) + " takes a whole number from 0 to 3600000, not '" + text + "'";
            set(*number);
            return std::nullopt;
        };
    };
    table.Value("--sample-period", "MS", "line time from an answer to the next sample (10)",
        setting("--sample-period", [&](std::uint32_t ms) { Experiment(options).samplePeriod = std::chrono::milliseconds(ms); }));
    table.Value("--noise", "COUNTS", "ADC noise, standard deviation in counts (0)",
        setting("--noise", [&](std::uint32_t counts) { Experiment(options).noise = double(counts); }));
    table.Repeated("-f,--fault", "NAME[=BYTE]", "arm a fault once at start (repeatable); BYTE is\nhexadecimal (3C, 0x3C or 3CH)",
        [&](const std::string& text) -> Why {
            std::string error;
            std::optional<CArmedFault> fault = ParseFault(text, error);
            if (!fault)
                return error;
            options.faults.push_back(*fault);
            return std::nullopt;
        });
    table.Flag("-t,--trace", "print every byte on the line to standard error", options.trace);
    table.Footer(FaultList() +
        "\n"
        "The 8051 board runs downloaded code on an 8052 chip: timer 2 (T2CON, T2MOD,\n"
        "RCAP2L/H, TL2/TH2; T2 on P1.0, T2EX on P1.1, interrupt at 002B) and 256 bytes\n"
        "of internal memory (80-FF reached indirectly). With --chip 8051 it is a plain\n"
        "8051: T2CON stays 00 and indirect addresses 80-FF read FF, writes are lost.\n"
        "The SFRs are reached through the program and the register image (timer 2's\n"
        "registers through the program only), 26 bytes in this order:\n"
        "  A B PSW SP DPL DPH R0-R7 (of the bank PSW selects) PCL PCH P0 P1 P2 P3\n"
        "  IE IP TMOD TCON TL0 TH0\n"
        "Reset (the key, or the reset command) sets SP 07, P0-P3 FF, the rest 0 and\n"
        "PC 0 (the command's address). A run stops before a breakpoint's instruction\n"
        "(not the first one), at the cursor of a goto, or at the undefined opcode A5,\n"
        "which the monitor does not execute and reports as a stop, also in a free run.\n"
        "\n"
        + std::string(tools::kNumberConvention) +
        "\n"
        "The reset key: SIGUSR1 ('kill -USR1 PID', or %1 for a job in an interactive\n"
        "shell) presses it, and so does the command reset below. Standard input takes\n"
        "one command per line; a terminal is read only while zorsim runs in its\n"
        "foreground, so 'zorsim &' keeps playing the board in the background:\n"
        "  reset                      press the reset key\n"
        "  fault NAME[=BYTE]          arm a fault (names as above)\n"
        "  silent on|off              stop or resume answering\n"
        "  hangup                     hang up the line and exit\n"
        "  status                     show the board's mode and armed faults\n"
        "  quit                       exit\n"
        + std::string(kDeviceCommandHelp) + "\n" + DeviceHelp() +
        "\n"
        "The serial port (--uart): what the program sends through SBUF appears on the\n"
        "uart terminal, and each byte written there goes down RXD after the one before,\n"
        "taking its ten bit times (eleven in modes 2 and 3, with the ninth bit set) at\n"
        "the rate the program set, counted in machine cycles: --speed changes only how\n"
        "fast that passes on the host's clock. The terminal's own baud rate is not\n"
        "looked at; bytes pass at the program's rate whatever the host set. While\n"
        "nobody has the terminal open, what the program sends is lost, as on a port\n"
        "with nothing plugged in; so is what reaches RXD while the receiver is off\n"
        "(REN clear), and what a host leaves unread beyond the terminal's buffer.\n"
        "\n"
        "Exit status: 0 when stopped by a signal, quit or hangup; 1 when no\n"
        "pseudo-terminal could be opened, the trace, events or VCD file cannot be\n"
        "written, the board profile is refused or --panel finds no display; 2 for a\n"
        "usage error (--uart and --vcd on a board other than the 8051 are one).\n");
    tools::CCommandLine line = table.Parse(arguments);
    if (line.outcome == tools::CCommandLine::Outcome::Run && !line.words.empty())
        line = {tools::CCommandLine::Outcome::UsageError, {}, "unknown argument '" + line.words.front() + "'"};
    return table.EarlyExit(line);
}

}
