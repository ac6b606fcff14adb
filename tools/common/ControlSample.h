// A sample of a closed-loop experiment as the link reports it, and its line in the
// experiment's CSV file, for every host that runs one.
#pragma once

#include <string>

#include "zorkit/platform/core/WinTypes.h"

namespace tools {

struct CControlSample {
    double shown; // the measured value as shown: degrees, or revolutions per minute
    int raw;      // the byte or count the board sent
};

// The sample a WM_CTRL_SAMPLE message carries.
CControlSample DecodeControlSample(WPARAM wParam, LPARAM lParam);

// The CSV file's first line, and one line per sample.
extern const char kSampleCsvHeading[];
std::string SampleCsvLine(int index, unsigned ms, const CControlSample& sample, int output);

}
