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
    bool shots = false;        // the tour goes through the main window and pictures each stage
    std::string program;       // the program of the tour or the window; empty: the sample
    std::string device;        // the serial device of the tour or the window; empty: the virtual board
    std::optional<int> baud;
    bool last = false;         // the line remembered from the last run instead of --device
    // An option of the plain temperature run was given: that run, not the window.
    bool experiment = false;
};

// The options, or nothing with `error` saying what is wrong with the command line.
std::optional<COptions> ParseOptions(const std::vector<std::string>& arguments, std::string& error);
std::string UsageText();

}
