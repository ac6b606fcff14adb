#include "tools/zorsim/Options.h"

#include <cstdlib>

#include "tools/common/Numbers.h"
#include "sim/devices/BoardProfile.h"
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

std::optional<long> ParseMilliseconds(const std::string& text)
{
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0 || value > 3600000)
        return std::nullopt;
    return value;
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

std::optional<COptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error)
{
    COptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        auto value = [&]() -> const std::string* {
            if (i + 1 >= arguments.size()) {
                error = "option " + option + " needs a value";
                return nullptr;
            }
            return &arguments[++i];
        };
        if (option == "-h" || option == "--help") {
            options.help = true;
        } else if (option == "-t" || option == "--trace") {
            options.trace = true;
        } else if (option == "--reset") {
            options.resetAtStart = true;
        } else if (option == "--silent") {
            options.silent = true;
        } else if (option == "-c" || option == "--cpu") {
            const std::string* name = value();
            if (!name)
                return std::nullopt;
            std::optional<CpuType> cpu = CpuFromName(*name);
            if (!cpu) {
                error = "unknown CPU '" + *name + "' (8051, 8086 or 8098)";
                return std::nullopt;
            }
            options.cpu = *cpu;
        } else if (option == "-s" || option == "--stop-delay") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            std::optional<long> ms = ParseMilliseconds(*text);
            if (!ms) {
                error = "stop delay must be milliseconds from 0 to 3600000, not '" + *text + "'";
                return std::nullopt;
            }
            options.stopDelay = std::chrono::milliseconds(*ms);
        } else if (option == "--speed") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            std::optional<long> megahertz = *text == "max" ? std::optional<long>(0) : ParseMilliseconds(*text);
            if (!megahertz || *megahertz > 1000 || (*text != "max" && *megahertz == 0)) {
                error = "speed must be max or a crystal frequency in MHz from 1 to 1000, not '" + *text + "'";
                return std::nullopt;
            }
            // Twelve oscillator periods make one machine cycle.
            options.machineCyclesPerSecond = std::uint32_t(*megahertz * 1000000 / 12);
        } else if (option == "--ports") {
            options.watchPorts = true;
        } else if (option == "--board" || option == "--events") {
            const std::string* path = value();
            if (!path)
                return std::nullopt;
            (option == "--board" ? options.boardFile : options.eventsFile) = *path;
        } else if (option == "--exec-trace") {
            const std::string* path = value();
            if (!path)
                return std::nullopt;
            options.executionTrace = *path;
        } else if (option == "--plant") {
            const std::string* name = value();
            if (!name)
                return std::nullopt;
            zorkit::sim::CExperimentSettings settings = options.experiment.value_or(zorkit::sim::CExperimentSettings{});
            if (*name == "heater")
                settings.plant = zorkit::sim::PlantKind::Heater;
            else if (*name == "motor")
                settings.plant = zorkit::sim::PlantKind::Motor;
            else if (*name == "stepper")
                settings.plant = zorkit::sim::PlantKind::Stepper;
            else {
                error = "unknown plant '" + *name + "' (heater, motor or stepper)";
                return std::nullopt;
            }
            options.experiment = settings;
        } else if (option == "--sample-period" || option == "--noise") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            std::optional<long> number = ParseMilliseconds(*text);
            if (!number) {
                error = option + " takes a whole number from 0 to 3600000, not '" + *text + "'";
                return std::nullopt;
            }
            zorkit::sim::CExperimentSettings settings = options.experiment.value_or(zorkit::sim::CExperimentSettings{});
            if (option == "--noise")
                settings.noise = double(*number);
            else
                settings.samplePeriod = std::chrono::milliseconds(*number);
            options.experiment = settings;
        } else if (option == "-f" || option == "--fault") {
            const std::string* text = value();
            if (!text)
                return std::nullopt;
            std::optional<CArmedFault> fault = ParseFault(*text, error);
            if (!fault)
                return std::nullopt;
            options.faults.push_back(*fault);
        } else {
            error = "unknown argument '" + option + "' (see --help)";
            return std::nullopt;
        }
    }
    return options;
}

std::string UsageText()
{
    std::string text =
        "Usage: zorsim [OPTIONS]\n"
        "\n"
        "A virtual experiment box on a pseudo-terminal. zorsim prints the terminal's\n"
        "path as its first line on standard output; open that path as the board's\n"
        "serial port. It runs until SIGINT or SIGTERM (exit status 0).\n"
        "\n"
        "Options:\n"
        "  -c, --cpu 8051|8086|8098   CPU type; sets the register image to 26, 28 or\n"
        "                             30 bytes (default 8051)\n"
        "  -s, --stop-delay MS        the shortest time from the start of a run to a\n"
        "                             breakpoint or cursor, or of a step, to the\n"
        "                             board's stop report (default 200)\n"
        "      --speed max|MHZ        the 8051's crystal: 12 (default) runs one machine\n"
        "                             cycle per microsecond, max as fast as it can\n"
        "      --ports                print every change of a port latch P0-P3 to\n"
        "                             standard error\n"
        "      --exec-trace FILE      write every executed instruction to FILE:\n"
        "                             address, code bytes, listing text\n"
        "      --board FILE           the board's devices from the profile FILE (TOML,\n"
        "                             as below) instead of the built-in board\n"
        "      --events FILE          write each change of a device's state to FILE as\n"
        "                             a JSON line: {\"cycle\":N,\"device\":\"leds\",\"state\":\"...\"}\n"
        "                             with N the 8051's machine cycle\n"
        "      --reset                press the reset key once at start (banner, then\n"
        "                             the echo test)\n"
        "      --silent               start silent: take in bytes, answer nothing\n"
        "      --plant heater|motor|stepper\n"
        "                             run a control experiment's plant instead of the\n"
        "                             monitor: one ADC sample per period, the host's\n"
        "                             answer drives the plant (stepper: one answer\n"
        "                             byte per step command)\n"
        "      --sample-period MS     line time from an answer to the next sample (10)\n"
        "      --noise COUNTS         ADC noise, standard deviation in counts (0)\n"
        "  -f, --fault NAME[=BYTE]    arm a fault once at start (repeatable); BYTE is\n"
        "                             hexadecimal (3C, 0x3C or 3CH)\n"
        "  -t, --trace                print every byte on the line to standard error\n"
        "  -h, --help                 show this text\n"
        "\n"
        "Faults:\n";
    for (const CFaultName& entry : kFaultNames)
        text += "  " + std::string(entry.name) + std::string(16 - std::string(entry.name).size(), ' ') + entry.meaning + "\n";
    text +=
        "\n"
        "The 8051 board runs downloaded code on an 8051 core. Internal memory is 256\n"
        "bytes (80-FF reached indirectly, as on the 8052); the SFRs are reached\n"
        "through the program and the register image, 26 bytes in this order:\n"
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
        + std::string(kDeviceCommandHelp) +
        "\n"
        "The built-in board (times in machine cycles, one a microsecond at 12 MHz):\n"
        + zorkit::sim::WiringTable(zorkit::sim::DefaultBoardProfile()) +
        "A profile file is TOML: one [table] per device (leds, switches, buttons, pulse,\n"
        "buzzer, seg7, keypad, lcd, adc, dac, stepper, motor, ppi, ctc) with its pins\n"
        "(\"P1.3\", a port \"P1\", a list, PA0-PC7 on the parallel chip, OUT0-OUT2 of\n"
        "the counter chip) or its bus page (address = 0xE400); a wrong profile is\n"
        "refused with its line and reason. 'show' prints:\n"
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
        "\n"
        "Exit status: 0 when stopped by a signal, quit or hangup; 1 when no\n"
        "pseudo-terminal could be opened, the trace or events file cannot be written or\n"
        "the board profile is refused; 2 for\n"
        "a usage error.\n";
    return text;
}

}
