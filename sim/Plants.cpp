#include "sim/Plants.h"

#include <algorithm>
#include <cmath>

namespace zorkit::sim {
namespace {
constexpr double kFullPower = 91.0;
constexpr BYTE kStrongestDrive = 32;
constexpr BYTE kWeakestDrive = 239;
constexpr BYTE kStepForward = 0xAA;
constexpr BYTE kStepBack = 0x55;
// Shown temperature per ADC count: 50 over 128 counts.
constexpr double kCountsPerDegree = 128.0 / 50.0;
}

CHeaterPlant::CHeaterPlant(const CHeaterParameters& parameters)
    : m_parameters(parameters), m_temperature(parameters.ambient)
{
}

void CHeaterPlant::Advance(double seconds)
{
    m_pipeline.push_back({0.0, std::min(double(m_power), kFullPower) / kFullPower});
    for (CPastPower& past : m_pipeline)
        past.age += seconds;
    // The power that has come through the dead time is what heats now.
    while (!m_pipeline.empty() && m_pipeline.front().age > m_parameters.deadTime) {
        m_effective = m_pipeline.front().fraction;
        m_pipeline.pop_front();
    }
    double settled = m_parameters.ambient + m_parameters.fullRise * m_effective;
    m_temperature = settled + (m_temperature - settled) * std::exp(-seconds / m_parameters.timeConstant);
}

double CHeaterPlant::AdcValue() const { return (100.0 - m_temperature) * kCountsPerDegree; }

void CMotorPlant::Advance(double seconds)
{
    BYTE drive = std::clamp(m_drive, kStrongestDrive, kWeakestDrive);
    double fraction = double(kWeakestDrive - drive) / double(kWeakestDrive - kStrongestDrive);
    double settled = m_parameters.topSpeed * fraction;
    m_speed = settled + (m_speed - settled) * std::exp(-seconds / m_parameters.timeConstant);
}

bool CStepperPlant::Command(BYTE command)
{
    if (command == kStepForward)
        ++m_position;
    else if (command == kStepBack)
        --m_position;
    else
        return false;
    return true;
}

}
