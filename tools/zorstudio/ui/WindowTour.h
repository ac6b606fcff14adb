// The scripted tour through the main window, headless: the same stages as the plain
// tour (open, build, connect, download, breakpoint, run, look, edit a byte, a
// temperature run, export, the C program at its breakpoint and one step), each done
// with the window's own commands and followed by a picture of the whole window,
// DIR/NN-stage.png.
#pragma once

#include "tools/zorstudio/Tour.h"

namespace zorstudio {

// 0 when every stage worked and its picture was written, 1 at the first failure
// (printed on stderr).
int RunWindowTour(const CTourOptions& options);

}
