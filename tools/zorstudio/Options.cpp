#include "tools/zorstudio/Options.h"

#include <cstdlib>

#include "tools/common/Numbers.h"
#include "tools/zorstudio/BoardLine.h"

namespace zorstudio {
namespace {

std::optional<int> ParseWhole(const std::string& text, int low, int high)
{
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high)
        return std::nullopt;
    return int(value);
}

}

std::optional<COptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error)
{
    COptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "-h" || name == "--help") {
            options.help = true;
            continue;
        }
        if (name == "--no-window") {
            options.noWindow = options.experiment = true;
            continue;
        }
        if (name == "--shots") {
            options.shots = true;
            continue;
        }
        if (name == "--last") {
            options.last = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown argument " + name;
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        auto whole = [&](int low, int high) {
            auto n = ParseWhole(value, low, high);
            if (!n)
                error = name + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                        ", not '" + value + "'";
            return n;
        };
        std::optional<int> number;
        if (name == "--target") {
            if (!(number = whole(0, 100)))
                return std::nullopt;
            options.target = *number;
            options.experiment = true;
        } else if (name == "--samples") {
            if (!(number = whole(1, 100000)))
                return std::nullopt;
            options.samples = *number;
            options.experiment = true;
        } else if (name == "--period") {
            if (!(number = whole(0, 10000)))
                return std::nullopt;
            options.period = *number;
            options.experiment = true;
        } else if (name == "--seconds") {
            if (!(number = whole(1, 86400)))
                return std::nullopt;
            options.seconds = *number;
        } else if (name == "--png") {
            options.png = value;
            options.experiment = true;
        } else if (name == "--tour") {
            options.tour = value;
        } else if (name == "--program") {
            options.program = value;
        } else if (name == "--device") {
            options.device = value;
        } else if (name == "--baud") {
            if (!(number = whole(600, 9600)) || BaudIndex(*number) < 0) {
                error = "--baud is 9600, 4800, 2400, 1200 or 600, not '" + value + "'";
                return std::nullopt;
            }
            options.baud = *number;
        } else {
            error = "unknown option " + name;
            return std::nullopt;
        }
    }
    if (options.shots && options.tour.empty()) {
        error = "--shots goes with --tour";
        return std::nullopt;
    }
    if (options.last && !options.device.empty()) {
        error = "--last and --device both choose the line: give one of them";
        return std::nullopt;
    }
    if (options.tour.empty() && options.experiment &&
        (!options.program.empty() || !options.device.empty() || options.baud || options.last)) {
        error = "--program, --device, --last and --baud go with --tour or the window, not with the temperature run";
        return std::nullopt;
    }
    return options;
}

std::string UsageText()
{
    return "Usage: zorstudio [--program FILE] [--device PATH | --last] [--baud N] [--seconds N]\n"
           "       zorstudio [--target N] [--samples N] [--period MS] [--png FILE] [--seconds N] [--no-window]\n"
           "       zorstudio --tour DIR [--shots] [--program FILE] [--device PATH | --last] [--baud N]\n"
           "                 [--samples N]\n"
           "\n"
           "On a display, zorstudio opens its main window on a virtual experiment box inside\n"
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
           "remembered too. --seconds N closes the window after N seconds.\n"
           "\n"
           "Without a display, or with any of the options below, it runs a temperature control\n"
           "experiment against the virtual box and shows it live in a graph window: the set\n"
           "point as the red line, the measured temperature, the heating power byte. Without\n"
           "a display the final picture goes to a PNG file. The settling is printed as it goes.\n"
           "\n"
           "Temperature run:\n"
           "  --target N     set point in degrees, 0-100 (default 60)\n"
           "  --samples N    samples to take, 1-100000 (default 300); one sample is 0.5 s of\n"
           "                 the heater's time\n"
           "  --period MS    pause of the loop after each sample (default 20)\n"
           "  --png FILE     write the final picture here (default ./zorstudio.png, written only\n"
           "                 when there is no window unless this option is given)\n"
           "  --seconds N    end after N seconds even if the experiment or the window is open\n"
           "  --no-window    do not open a window even when a display is present\n"
           "  -h, --help     this text\n"
           "\n"
           "The scripted tour, without windows:\n"
           "  --tour DIR     open an 8051 program, assemble it (sdas8051, sdld), download it,\n"
           "                 set a breakpoint at its line 'done:', run to it, show the registers,\n"
           "                 memory and listing, edit a byte of internal RAM and read it back, run\n"
           "                 a temperature experiment (--samples) to its settling and write\n"
           "                 temperature.png, temperature.pdf and temperature.csv into DIR;\n"
           "                 each stage is printed\n"
           "  --shots        with --tour: go through the main window (headless) instead, and\n"
           "                 write a picture of it after each stage, DIR/01-open.png ...\n"
           "\n"
           "The window and the tour:\n"
           "  --program FILE the 8051 source (default: the sample that sorts a table, sort.asm)\n"
           "  --device PATH  a board on this serial device, or on a port server's\n"
           "                 rfc2217://HOST:PORT or tcp://HOST:PORT (default: a virtual board\n"
           "                 inside this program); a device that answered and its baud rate are\n"
           "                 remembered in $XDG_CONFIG_HOME/zorkit/zorstudio.conf\n"
           "  --last         the serial device remembered there (and its baud rate), instead\n"
           "                 of the virtual board; the virtual board when none is remembered\n"
           "  --baud N       9600, 4800, 2400, 1200 or 600 (default: the remembered rate, else 9600)\n"
           "\n"
           "The picture's path is checked before the experiment starts.\n"
           "\n" +
           std::string(tools::kNumberConvention) + "zorstudio takes only decimal settings.\n"
           "\n"
           "The temperature run's window ends the program when the experiment has ended and\n"
           "the window is closed (closing it earlier stops the experiment), or after --seconds.\n"
           "\n"
           "Exit status: 0 when the experiment (or every stage of the tour) ran and its files\n"
           "were written where asked, 1 when the virtual board, the link, a stage of the tour\n"
           "or a file failed, 2 for usage errors.\n";
}

}
