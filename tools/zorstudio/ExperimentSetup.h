// What the control panel sets before a run: the kind, the set point, the gains, the
// loop's period and the sample count, with defaults that settle the virtual board's
// plants calmly.
#pragma once

#include <optional>
#include <string>

#include "zorkit/link/ZORComm.h"

namespace zorstudio {

enum class ExperimentKind { Temperature, Speed, Stepper };

struct CExperimentSetup {
    ExperimentKind kind = ExperimentKind::Temperature;
    int setPoint = 60;      // degrees 0-100, or speed 0-500; unused by the stepper
    float kp = 8.0f, ki = 0.0f, kd = 0.0f;
    int period = 20;        // ms the loop pauses after each sample
    int samples = 300;
    bool clockwise = true;  // the stepper's direction
};

// The panel's starting values for `kind`.
CExperimentSetup DefaultSetup(ExperimentKind kind);
// What is wrong with the setup in words, or nothing.
std::optional<std::string> CheckSetup(const CExperimentSetup& setup);
CTRLTYPE ControlType(ExperimentKind kind);
// Sends the setup to the link's control settings (before SetControl).
void ApplySetup(CZORComm& link, const CExperimentSetup& setup);

}
