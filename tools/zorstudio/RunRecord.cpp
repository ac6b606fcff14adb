#include "tools/zorstudio/RunRecord.h"

#include <algorithm>
#include <cstdio>

#include "tools/common/Settling.h"
#include "tools/zorstudio/HeaterBench.h"

namespace zorstudio {
namespace {
// About this many progress lines per run.
constexpr int kLines = 15;

double PlantSeconds(int samples) { return samples * CHeaterBench::kSecondsPerSample; }
}

CRunRecord::CRunRecord(int setPoint, int samples)
    : m_picture(ExperimentQuantity::Temperature, setPoint, samples), m_setPoint(setPoint),
      m_every(std::max(1, samples / kLines))
{
}

void CRunRecord::Add(double shown, int output)
{
    m_picture.Add(shown, output);
    m_values.push_back(shown);
    const int index = Count() - 1;
    if (index % m_every == 0) {
        std::printf("sample %5d  %7.1f s  %6.2f °C  output %3d\n", index, PlantSeconds(index), shown, output);
        std::fflush(stdout);
    }
}

std::string CRunRecord::Outcome() const
{
    const CSettling s = AnalyseSettling(m_values, m_setPoint, kBand);
    char text[80];
    if (s.settledAt)
        std::snprintf(text, sizeof text, "settled at %.1f s", PlantSeconds(*s.settledAt));
    else
        std::snprintf(text, sizeof text, "not settled");
    return text;
}

void CRunRecord::PrintSummary() const
{
    const CSettling s = AnalyseSettling(m_values, m_setPoint, kBand);
    std::printf("\nset point    %d °C\n", m_setPoint);
    if (m_values.empty()) {
        std::printf("no samples arrived\n");
        return;
    }
    std::printf("final value  %.2f °C after %d samples (%.1f s)\n", s.finalValue, Count(), PlantSeconds(Count()));
    if (s.settledAt)
        std::printf("settled      within ±%.0f °C from sample %d on (%.1f s)\n", kBand, *s.settledAt,
                    PlantSeconds(*s.settledAt));
    else
        std::printf("not settled  the last value lies outside ±%.0f °C of the set point\n", kBand);
    std::printf("overshoot    %.2f °C\n", s.overshoot);
    std::fflush(stdout);
}

}
