#include "tools/zorstudio/Options.h"

#include "tools/common/Numbers.h"
#include "tools/common/OptionTable.h"
#include "tools/zorstudio/BoardLine.h"
#include "tools/zorstudio/Translation.h"

namespace zorstudio {
namespace {

using Why = std::optional<std::string>;

// Takes a whole number from `low` to `high` into `into`.
tools::COptionTable::Take Whole(const char* name, int low, int high, std::function<void(int)> into)
{
    return [=](const std::string& value) -> Why {
        std::optional<std::uint32_t> number = tools::ParseDecimal(value, std::uint32_t(high));
        if (!number || int(*number) < low)
            return Tr("{1} takes a whole number from {2} to {3}, not '{4}'",
                      {name, std::to_string(low), std::to_string(high), value});
        into(int(*number));
        return std::nullopt;
    };
}

// What the options mean together.
Why CheckCombination(const COptions& options)
{
    if (options.shots && options.tour.empty())
        return Tr("--shots goes with --tour");
    if (options.last && !options.device.empty())
        return Tr("--last and --device both choose the line: give one of them");
    if (options.tour.empty() && options.experiment &&
        (!options.program.empty() || !options.device.empty() || options.baud || options.last))
        return Tr("--program, --device, --last and --baud go with --tour or the window, not with the temperature run");
    return std::nullopt;
}

}

std::optional<int> ParseCommandLine(const std::vector<std::string>& arguments, COptions& options)
{
    tools::COptionTable table("zorstudio",
        Tr("Usage: zorstudio [--program FILE] [--device PATH | --last] [--baud N] [--seconds N]\n"
        "       zorstudio [--target N] [--samples N] [--period MS] [--png FILE] [--seconds N] [--no-window]\n"
        "       zorstudio --tour DIR [--shots] [--program FILE] [--device PATH | --last] [--baud N]\n"
        "                 [--samples N]"),
        Tr("On a display, zorstudio opens its main window on a virtual experiment box inside\n"
        "this program (or the board on --device): the 8051 source editor (--program, by\n"
        "default the sample sort.asm), the build output, the disassembly listing, the\n"
        "registers and internal RAM, the communication log and the control-experiment\n"
        "panel. The menus File, Build, Debug and Line (Alt+F, B, D, L) and the row of\n"
        "buttons under them run the commands; F5 runs, F10 steps over, F11 steps into,\n"
        "F9 sets or clears a breakpoint at the cursor (or click the listing's margin),\n"
        "Ctrl+F10 runs to the cursor, Ctrl+B builds, Ctrl+S saves, Ctrl+O opens another\n"
        "source, Escape closes a menu or cancels the reset prompt. File > Open... and\n"
        "Save As... ask for a path (Enter accepts, Escape cancels); with unsaved edits,\n"
        "Open and Exit first say so and go ahead when chosen again. XDATA switches the\n"
        "memory grid to the external memory, the field after it takes the page's\n"
        "hexadecimal address (Enter). Port (Line > Port...) lists the device used last,\n"
        "the virtual board and the serial devices; the one clicked is opened, connected\n"
        "and remembered. Line > Device path... opens a device typed in, Line > Baud\n"
        "rate... reopens the line at another rate (9600, 4800, 2400, 1200, 600); both are\n"
        "remembered too. --seconds N closes the window after N seconds.\n") +
        "\n" +
        Tr("Without a display, or with any of the options below, it runs a temperature control\n"
        "experiment against the virtual box and shows it live in a graph window: the set\n"
        "point as the red line, the measured temperature, the heating power byte. Without\n"
        "a display the final picture goes to a PNG file. The settling is printed as it goes."));
    table.HelpFlag(Tr("show this text"));
    table.Group(Tr("Temperature run"));
    table.Value("--target", "N", Tr("set point in degrees, 0-100 (default 60)"),
        Whole("--target", 0, 100, [&](int n) { options.target = n, options.experiment = true; }));
    table.Value("--samples", "N", Tr("samples to take, 1-100000 (default 300); one sample is\n0.5 s of the heater's time"),
        Whole("--samples", 1, 100000, [&](int n) { options.samples = n, options.experiment = true; }));
    table.Value("--period", "MS", Tr("pause of the loop after each sample (default 20)"),
        Whole("--period", 0, 10000, [&](int n) { options.period = n, options.experiment = true; }));
    table.Value("--png", "FILE", Tr("write the final picture here (default ./zorstudio.png,\nwritten only when there is no window unless this\noption is given)"),
        [&](const std::string& path) -> Why {
            options.png = path;
            options.experiment = true;
            return std::nullopt;
        });
    table.Value("--seconds", "N", Tr("end after N seconds even if the experiment or the\nwindow is open"),
        Whole("--seconds", 1, 86400, [&](int n) { options.seconds = n; }));
    table.Flag("--no-window", Tr("do not open a window even when a display is present"), options.noWindow);
    table.Group(Tr("The scripted tour, without windows"));
    table.Value("--tour", "DIR",
        Tr("open an 8051 program, assemble it (sdas8051, sdld),\ndownload it, set a breakpoint at its line 'done:',\n"
        "run to it, show the registers, memory and listing,\nedit a byte of internal RAM and read it back, run a\n"
        "temperature experiment (--samples) to its settling\nand write temperature.png, temperature.pdf and\n"
        "temperature.csv into DIR; then build the C sample\nsquares.c with sdcc, stop it at a line breakpoint,\n"
        "print its call stack and watches, step into the\ncall on that line and out, then over the line;\n"
        "each stage is printed"),
        options.tour);
    table.Flag("--shots", Tr("with --tour: go through the main window (headless)\ninstead, and write a picture of it after each\nstage, DIR/01-open.png ..."),
        options.shots);
    table.Group(Tr("The window and the tour"));
    table.Value("--program", "FILE", Tr("the 8051 source (default: the sample that sorts a\ntable, sort.asm)"), options.program);
    table.Value("--device", "PATH",
        Tr("a board on this serial device, or on a port server's\nrfc2217://HOST:PORT or tcp://HOST:PORT (default: a\nvirtual board inside this program); a device that answered\n"
        "and its baud rate are remembered in\n$XDG_CONFIG_HOME/zorkit/zorstudio.conf"),
        options.device);
    table.Flag("--last", Tr("the serial device remembered there (and its baud\nrate), instead of the virtual board; the virtual\nboard when none is remembered"),
        options.last);
    table.Value("--baud", "N", Tr("9600, 4800, 2400, 1200 or 600 (default: the\nremembered rate, else 9600)"), [&](const std::string& value) -> Why {
        std::optional<std::uint32_t> baud = tools::ParseDecimal(value, 9600);
        if (!baud || BaudIndex(int(*baud)) < 0)
            return Tr("--baud is 9600, 4800, 2400, 1200 or 600, not '{1}'", {value});
        options.baud = int(*baud);
        return std::nullopt;
    });
    table.Footer(Tr("The picture's path is checked before the experiment starts.\n") + "\n" +
        Tr("Numbers: zorstudio takes only decimal settings.\n") + "\n" +
        Tr("The temperature run's window ends the program when the experiment has ended and\n"
        "the window is closed (closing it earlier stops the experiment), or after --seconds.\n") + "\n" +
        Tr("Exit status: 0 when the experiment (or every stage of the tour) ran and its files\n"
        "were written where asked, 1 when the virtual board, the link, a stage of the tour\n"
        "or a file failed, 2 for usage errors.\n"));
    tools::CCommandLine line = table.Parse(arguments);
    // Any option of the plain temperature run asks for that run instead of the window.
    options.experiment = options.experiment || options.noWindow;
    if (line.outcome == tools::CCommandLine::Outcome::Run) {
        if (!line.words.empty())
            line = {tools::CCommandLine::Outcome::UsageError, {}, Tr("unknown argument {1}", {line.words.front()})};
        else if (Why why = CheckCombination(options))
            line = {tools::CCommandLine::Outcome::UsageError, {}, *why};
    }
    return table.EarlyExit(line);
}

}
