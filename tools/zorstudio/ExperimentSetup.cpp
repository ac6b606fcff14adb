#include "tools/zorstudio/ExperimentSetup.h"

#include <cmath>

#include "tools/zorstudio/Translation.h"

namespace zorstudio {
namespace {
constexpr int kMaxTemperature = 100;
constexpr int kMaxSpeed = 500;
constexpr int kMaxPeriod = 60000;
constexpr int kMaxSamples = 1000000;
}

CExperimentSetup DefaultSetup(ExperimentKind kind)
{
    CExperimentSetup setup;
    setup.kind = kind;
    switch (kind) {
    case ExperimentKind::Temperature:
        // The temperature law adds its integral only when the plant is 20 degrees too
        // hot, so it is a PD law near the set point. A derivative gain amplifies the
        // ADC's noise into full swings of the heater, and a higher proportional gain
        // meets the heater's dead time; this proportional gain settles about 2 degrees
        // above the set point with the output moving around its mean, not from 0 to 91.
        setup.setPoint = 60;
        setup.kp = 8.0f, setup.ki = 0.0f, setup.kd = 0.0f;
        break;
    case ExperimentKind::Speed:
        // The motor answers within a sample; a lower proportional gain than the
        // integral's pull avoids the first sample's jump and fall.
        setup.setPoint = 250;
        setup.kp = 0.5f, setup.ki = 0.2f, setup.kd = 0.0f;
        break;
    case ExperimentKind::Stepper:
        setup.setPoint = 0;
        setup.kp = setup.ki = setup.kd = 0.0f;
        setup.samples = 100;
        break;
    }
    return setup;
}

std::optional<std::string> CheckSetup(const CExperimentSetup& setup)
{
    if (setup.kind == ExperimentKind::Temperature && (setup.setPoint < 0 || setup.setPoint > kMaxTemperature))
        return N_("the set point of a temperature run lies from 0 to 100 °C");
    if (setup.kind == ExperimentKind::Speed && (setup.setPoint < 0 || setup.setPoint > kMaxSpeed))
        return N_("the set point of a speed run lies from 0 to 500");
    if (!std::isfinite(setup.kp) || !std::isfinite(setup.ki) || !std::isfinite(setup.kd))
        return N_("the gains must be numbers");
    if (setup.period < 0 || setup.period > kMaxPeriod)
        return N_("the period lies from 0 to 60000 ms");
    if (setup.samples < 1 || setup.samples > kMaxSamples)
        return N_("the sample count lies from 1 to 1000000");
    return std::nullopt;
}

CTRLTYPE ControlType(ExperimentKind kind)
{
    switch (kind) {
    case ExperimentKind::Speed: return CTRL_VILO;
    case ExperimentKind::Stepper: return CTRL_SMOTOR;
    default: return CTRL_TEMP;
    }
}

void ApplySetup(CZORComm& link, const CExperimentSetup& setup)
{
    link.SetTargetTemp(setup.setPoint);
    link.SetTargetVilo(setup.setPoint);
    link.SetKpKiKd(setup.kp, setup.ki, setup.kd);
    link.SetPeriod(setup.period);
    link.SetSampleNums(setup.samples);
    link.SetSMotorDirection(setup.clockwise ? 1 : 0);
}

}
