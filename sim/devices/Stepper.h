// A 4-phase stepper motor: its rotor follows the windings energised, in full or
// half steps, either way; a pattern that pulls from opposite sides, or none, holds it.
#pragma once

#include <cstdint>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

class CStepper {
public:
    explicit CStepper(double stepDegrees) : m_stepDegrees(stepDegrees) {}

    // The windings A-D as bits 0-3.
    void SetPhases(BYTE phases);
    BYTE Phases() const { return m_phases; }
    // Half steps from the start, clockwise positive.
    long HalfSteps() const { return m_halfSteps; }
    double Degrees() const { return m_halfSteps * m_stepDegrees / 2; }

private:
    double m_stepDegrees;
    BYTE m_phases = 0;
    // Where in the 8 half-step positions the rotor was last pulled; -1 before the first.
    int m_position = -1;
    long m_halfSteps = 0;
};

}
