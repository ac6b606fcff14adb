// zorstudio's scripted tour: the whole way of a student's session without windows,
// each stage printed as it happens. It opens a program, assembles, downloads and
// runs it to a breakpoint, looks at the registers and memory, edits a byte, runs a
// temperature experiment to its settling and exports it; then it builds a C program,
// stops it at a line breakpoint, shows its call stack and watches and steps over
// that line.
#pragma once

#include <string>

#include "tools/zorstudio/BoardLine.h"

namespace zorstudio {

struct CTourOptions {
    std::string directory;  // where the exports go; created when missing
    std::string program;    // the 8051 source to open
    std::string cProgram;   // the C program debugged at the source line
    CLineChoice line;       // the virtual board by default
    int samples = 300;      // of the temperature experiment
};

// The sample program shipped with zorstudio: beside the sources, else installed.
std::string DefaultTourProgram();
// The C sample: a loop that adds squares into a struct, a call a pass.
std::string DefaultTourCProgram();
// The C sample's line that the tour stops at, and after how many passes.
constexpr const char* kTourCBreakpointText = "tally.sum += square(i);";
constexpr int kTourCPasses = 3;
// The call on that line the tour steps into and out of.
constexpr const char* kTourCCall = "square(i)";
// 0 when every stage worked, 1 at the first that failed (printed on stderr).
int RunTour(const CTourOptions& options);

}
