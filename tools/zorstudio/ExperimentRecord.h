// The samples of one control run as they arrive, its picture, and the settling
// figures once it has ended.
//
//   CExperimentRecord record(setup);
//   record.Add(shown, raw, output, elapsedMs);      // for every WM_CTRL_SAMPLE
//   CSettlingFigures f = record.Figures();
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "tools/common/ExperimentPicture.h"
#include "tools/zorstudio/ExperimentSetup.h"

namespace zorstudio {

struct CExperimentSample {
    int index;
    DWORD ms;       // since the run started
    double shown;   // the measured value as the link shows it
    int raw;        // the board's sample byte
    int output;     // the byte answered
};

struct CSettlingFigures {
    double setPoint = 0.0;
    // The mean of the last tenth of the run, which noise does not sway like the last sample.
    double finalValue = 0.0;
    // finalValue - setPoint: what a law without integral action leaves.
    double offset = 0.0;
    // The band around the final value the run has to stay in to count as settled.
    double band = 0.0;
    // The first sample from which every later one stays in the band; none when the
    // run ended outside it.
    std::optional<int> settledAt;
    DWORD settledAfterMs = 0;
    // How far the run went past the set point, away from where it started.
    double overshoot = 0.0;
    // The output bytes from the settling on (the whole run when it did not settle).
    int outputLow = 0, outputHigh = 0;
};

class CExperimentRecord {
public:
    explicit CExperimentRecord(const CExperimentSetup& setup);

    void Add(double shown, int raw, int output, DWORD ms);
    const CExperimentSetup& Setup() const { return m_setup; }
    const std::vector<CExperimentSample>& Samples() const { return m_samples; }
    // Figures of the samples so far; all zero without samples.
    CSettlingFigures Figures() const;
    // The picture of a temperature or speed run; null for the stepper, which has no curve.
    CExperimentPicture* Picture() { return m_picture.get(); }

private:
    CExperimentSetup m_setup;
    std::vector<CExperimentSample> m_samples;
    std::unique_ptr<CExperimentPicture> m_picture;
};

// The settling band of a kind: 2 % of its full scale.
double SettlingBand(ExperimentKind kind);

}
