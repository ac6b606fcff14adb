#include "tools/zorstudio/RunPrinter.h"

#include <algorithm>
#include <cstdio>

#include "tools/zorstudio/DebugSession.h"
#include "tools/zorstudio/Translation.h"

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
    std::printf(Tr("sample %5d  %7.1f s  %6.2f °C  output %3d\n").c_str(), s.index, PlantSeconds(s.index), s.shown, s.output);
    std::fflush(stdout);
}

std::string CRunPrinter::Outcome(const CExperimentRecord& record)
{
    const CSettlingFigures f = record.Figures();
    if (!f.settledAt)
        return Tr("not settled");
    char text[80];
    std::snprintf(text, sizeof text, Tr("settled at %.1f s").c_str(), PlantSeconds(*f.settledAt));
    return text;
}

void CRunPrinter::PrintSummary(const CExperimentRecord& record)
{
    const CSettlingFigures f = record.Figures();
    const int count = int(record.Samples().size());
    std::printf(Tr("\nset point    %d °C\n").c_str(), record.Setup().setPoint);
    if (count == 0) {
        std::printf("%s\n", Tr("no samples arrived").c_str());
        std::fflush(stdout);
        return;
    }
    std::printf(Tr("final value  %.2f °C over the last tenth of %d samples (%.1f s), %+.2f °C from the set point\n").c_str(),
                f.finalValue, count, PlantSeconds(count), f.offset);
    if (f.settledAt)
        std::printf(Tr("settled      within ±%.0f °C of the final value from sample %d on (%.1f s)\n").c_str(), f.band,
                    *f.settledAt, PlantSeconds(*f.settledAt));
    else
        std::printf(Tr("not settled  the run left the ±%.0f °C band around its final value at the end\n").c_str(), f.band);
    std::printf(Tr("overshoot    %.2f °C\n").c_str(), f.overshoot);
    std::printf(Tr("output       %d .. %d from then on\n").c_str(), f.outputLow, f.outputHigh);
    std::fflush(stdout);
}

}
