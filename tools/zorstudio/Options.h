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
    std::string tour;          // the tour's directory; empty: no tour
    bool shots = false;        // the tour goes through the main window and pictures each stage
    std::string program;       // the program of the tour or the window; empty: the sample
    std::string device;        // the serial device of the tour or the window; empty: the virtual board
    std::optional<int> baud;
    bool last = false;         // the line remembered from the last run instead of --device
    // An option of the plain temperature run was given: that run, not the window.
    bool experiment = false;
};

// Reads the arguments after the program's name into `options`. The exit status when
// zorstudio ends here (its help shown, or a usage error reported); nothing when it is
// to run.
std::optional<int> ParseCommandLine(const std::vector<std::string>& arguments, COptions& options);

}
