#include "tools/zorstudio/RunPrinter.h"

#include <algorithm>
#include <cstdio>

#include "tools/zorstudio/DebugSession.h"

namespace zorstudio {
namespace {
// About this many progress lines per run.
constexpr int kLines = 15;

double PlantSeconds(int samples) { return samples * CDebugSession::kSecondsPerSample; }
}

CRunPrinter::CRunPrinter(int samples) : m_every(std::max(1, samples / kLines)) {}

void CRunPrinter::Sample(const CExperimentSample& s) const
{
    if (s.index % m_every != 0)
        return;
    std::printf("sample %5d  %7.1f s  %6.2f °C  output %3d\n", s.index, PlantSeconds(s.index), s.shown, s.output);
    std::fflush(stdout);
}

std::string CRunPrinter::Outcome(const CExperimentRecord& record)
{
    const CSettlingFigures f = record.Figures();
    char text[80];
    if (f.settledAt)
        std::snprintf(text, sizeof text, "settled at %.1f s", PlantSeconds(*f.settledAt));
    else
        std::snprintf(text, sizeof text, "not settled");
    return text;
}

void CRunPrinter::PrintSummary(const CExperimentRecord& record)
{
    const CSettlingFigures f = record.Figures();
    const int count = int(record.Samples().size());
    std::printf("\nset point    %d °C\n", record.Setup().setPoint);
    if (count == 0) {
        std::printf("no samples arrived\n");
        std::fflush(stdout);
        return;
    }
    std::printf("final value  %.2f °C over the last tenth of %d samples (%.1f s), %+.2f °C from the set point\n",
                f.finalValue, count, PlantSeconds(count), f.offset);
    if (f.settledAt)
        std::printf("settled      within ±%.0f °C of the final value from sample %d on (%.1f s)\n", f.band,
                    *f.settledAt, PlantSeconds(*f.settledAt));
    else
        std::printf("not settled  the run left the ±%.0f °C band around its final value at the end\n", f.band);
    std::printf("overshoot    %.2f °C\n", f.overshoot);
    std::printf("output       %d .. %d from then on\n", f.outputLow, f.outputHigh);
    std::fflush(stdout);
}

}
