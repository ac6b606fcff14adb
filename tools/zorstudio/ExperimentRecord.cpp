#include "tools/zorstudio/ExperimentRecord.h"

#include <algorithm>

#include "tools/common/Settling.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/core/Gbk.h"

namespace zorstudio {
namespace {
constexpr int kFinalShare = 10;
}

double SettlingBand(ExperimentKind kind) { return kind == ExperimentKind::Speed ? 10.0 : 2.0; }

CExperimentRecord::CExperimentRecord(const CExperimentSetup& setup) : m_setup(setup)
{
    if (setup.kind == ExperimentKind::Stepper)
        return;
    const bool speed = setup.kind == ExperimentKind::Speed;
    const CExperimentWords words{TrGbk(speed ? N_("Speed control") : N_("Temperature control")),
                                 TrGbk(speed ? N_("Speed") : N_("Temperature")), TrGbk("Output byte"), TrGbk("samples"),
                                 speed ? TrGbk("speed") : zorkit::GbkFromUtf8("°C")};
    m_picture = std::make_unique<CExperimentPicture>(speed ? ExperimentQuantity::Speed : ExperimentQuantity::Temperature,
                                                     setup.setPoint, setup.samples, words);
}

void CExperimentRecord::Add(double shown, int raw, int output, DWORD ms)
{
    m_samples.push_back({int(m_samples.size()), ms, shown, raw, output});
    if (m_picture)
        m_picture->Add(shown, output);
}

CSettlingFigures CExperimentRecord::Figures() const
{
    CSettlingFigures figures;
    figures.setPoint = m_setup.setPoint;
    figures.band = SettlingBand(m_setup.kind);
    if (m_samples.empty())
        return figures;
    std::vector<double> values;
    for (const CExperimentSample& sample : m_samples)
        values.push_back(sample.shown);
    const std::size_t tail = std::max<std::size_t>(1, values.size() / kFinalShare);
    double sum = 0.0;
    for (std::size_t i = values.size() - tail; i < values.size(); ++i)
        sum += values[i];
    figures.finalValue = sum / double(tail);
    figures.offset = figures.finalValue - figures.setPoint;
    figures.settledAt = AnalyseSettling(values, figures.finalValue, figures.band).settledAt;
    figures.overshoot = AnalyseSettling(values, figures.setPoint, figures.band).overshoot;
    const std::size_t from = figures.settledAt ? std::size_t(*figures.settledAt) : 0;
    if (figures.settledAt)
        figures.settledAfterMs = m_samples[from].ms;
    auto [low, high] = std::minmax_element(m_samples.begin() + long(from), m_samples.end(),
                                           [](const auto& a, const auto& b) { return a.output < b.output; });
    figures.outputLow = low->output;
    figures.outputHigh = high->output;
    return figures;
}

}
