// zorstudio's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorstudio {

struct COptions {
    int target = 60;
    int samples = 300;
    int period = 20;           // ms the loop pauses after each sample
    std::string png;           // empty: the default path, and only without a window
    std::optional<int> seconds;
    bool noWindow = false;
    bool help = false;
    std::string tour;          // the tour's directory; empty: no tour
    std::string program;       // the tour's program; empty: the sample
    std::string device;        // the tour's serial device; empty: the virtual board
    std::optional<int> baud;
};

// The options, or nothing with `error` saying what is wrong with the command line.
std::optional<COptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error);
std::string UsageText();

}
