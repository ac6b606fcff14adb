// zorstudio's scripted tour: the whole way of a student's session without windows,
// each stage printed as it happens. It opens a program, assembles, downloads and
// runs it to a breakpoint, looks at the registers and memory, edits a byte, runs a
// temperature experiment to its settling and exports it.
#pragma once

#include <string>

#include "tools/zorstudio/BoardLine.h"

namespace zorstudio {

struct CTourOptions {
    std::string directory;  // where the exports go; created when missing
    std::string program;    // the 8051 source to open
    CLineChoice line;       // the virtual board by default
    int samples = 300;      // of the temperature experiment
};

// The sample program shipped with zorstudio: beside the sources, else installed.
std::string DefaultTourProgram();
// 0 when every stage worked, 1 at the first that failed (printed on stderr).
int RunTour(const CTourOptions& options);

}
