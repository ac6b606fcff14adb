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
            options.noWindow = true;
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
        } else if (name == "--samples") {
            if (!(number = whole(1, 100000)))
                return std::nullopt;
            options.samples = *number;
        } else if (name == "--period") {
            if (!(number = whole(0, 10000)))
                return std::nullopt;
            options.period = *number;
        } else if (name == "--seconds") {
            if (!(number = whole(1, 86400)))
                return std::nullopt;
            options.seconds = *number;
        } else if (name == "--png") {
            options.png = value;
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
    if (options.tour.empty() && (!options.program.empty() || !options.device.empty() || options.baud)) {
        error = "--program, --device and --baud go with --tour";
        return std::nullopt;
    }
    return options;
}

std::string UsageText()
{
    return "Usage: zorstudio [OPTIONS]\n"
           "\n"
           "Runs a temperature control experiment against a virtual experiment box with a\n"
           "heater inside this program, and shows it live in a graph window: the set point as\n"
           "the red line, the measured temperature, the heating power byte. Without a display\n"
           "the final picture goes to a PNG file. The settling is printed as it goes.\n"
           "\n"
           "Options:\n"
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
           "  --program FILE the tour's program (default: the sample that sorts a table, sort.asm)\n"
           "  --device PATH  tour a board on this serial device (default: a virtual board inside\n"
           "                 this program); the device and baud rate are remembered in\n"
           "                 $XDG_CONFIG_HOME/zorkit/zorstudio.conf\n"
           "  --baud N       9600, 4800, 2400, 1200 or 600 (default: the remembered rate, else 9600)\n"
           "\n"
           "The picture's path is checked before the experiment starts.\n"
           "\n" +
           std::string(tools::kNumberConvention) + "zorstudio takes only decimal settings.\n"
           "\n"
           "With a window, the program ends when the experiment has ended and the window is\n"
           "closed (closing it earlier stops the experiment), or after --seconds.\n"
           "\n"
           "Exit status: 0 when the experiment (or every stage of the tour) ran and its files\n"
           "were written where asked, 1 when the virtual board, the link, a stage of the tour\n"
           "or a file failed, 2 for usage errors.\n";
}

}
