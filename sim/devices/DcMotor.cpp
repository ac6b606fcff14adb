#include "sim/devices/DcMotor.h"

#include <cmath>
#include <limits>

namespace zorkit::sim {

namespace {

constexpr double kCyclesPerMinute = 60e6;

}

void CDcMotor::Advance(std::uint64_t cycle)
{
    if (cycle <= m_cycle)
        return;
    double dt = double(cycle - m_cycle);
    m_cycle = cycle;
    double target = m_drive ? m_maxRpm : 0;
    double fade = std::exp(-dt / kLagCycles);
    // The turns are the integral of the speed's exponential approach to its target.
    m_turns += (target * dt + (m_rpm - target) * kLagCycles * (1 - fade)) / kCyclesPerMinute;
    m_rpm = target + (m_rpm - target) * fade;
    double level = m_drive ? 1 : 0;
    m_duty = level + (m_duty - level) * std::exp(-dt / kDutyCycles);
}

bool CDcMotor::EncoderLevel() const
{
    double halves = std::floor(m_turns * m_pulsesPerTurn * 2);
    return std::fmod(halves, 2) == 0;
}

std::uint64_t CDcMotor::NextEncoderEdge() const
{
    double perCycle = m_rpm * m_pulsesPerTurn * 2 / kCyclesPerMinute; // half pulses a cycle
    if (perCycle < 1e-9)
        return std::numeric_limits<std::uint64_t>::max();
    double halves = m_turns * m_pulsesPerTurn * 2;
    double ahead = std::floor(halves) + 1 - halves;
    return m_cycle + std::uint64_t(std::ceil(ahead / perCycle));
}

}
