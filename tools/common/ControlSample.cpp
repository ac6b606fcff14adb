#include "tools/common/ControlSample.h"

#include <cstdio>

namespace tools {

const char kSampleCsvHeading[] = "index,time_ms,shown,raw,output\n";

CControlSample DecodeControlSample(WPARAM wParam, LPARAM lParam)
{
    const double shown = *reinterpret_cast<const float*>(wParam);
    // A temperature sample carries no raw count: it is the heater's ADC byte, 128
    // counts for every 50 degrees down from 100.
    const int raw = lParam ? *reinterpret_cast<const WORD*>(lParam) : int((100.0 - shown) * 128.0 / 50.0 + 0.5);
    return {shown, raw};
}

std::string SampleCsvLine(int index, unsigned ms, const CControlSample& sample, int output)
{
    char line[96];
    std::snprintf(line, sizeof line, "%d,%u,%.4f,%d,%d\n", index, ms, sample.shown, sample.raw, output);
    return line;
}

}
