#include "sim/devices/Heater.h"

#include <algorithm>
#include <cmath>

namespace zorkit::sim {

namespace {

// The plant's full power; its drive is 0 to this.
constexpr double kPlantFullPower = 91.0;
constexpr double kCountsPerDegree = 255.0 / 100.0;

}

void CBoardHeater::AdvanceTo(std::uint64_t cycle)
{
    for (; NextStep() <= cycle; m_stepped += kStepCycles)
        m_plant.Advance(double(kStepCycles) / 1e6);
}

void CBoardHeater::SetPower(BYTE dac, std::uint64_t cycle)
{
    AdvanceTo(cycle);
    m_power = dac;
    m_plant.Drive(BYTE(std::lround(dac * kPlantFullPower / 255.0)));
}

BYTE CBoardHeater::Reading() const
{
    return BYTE(std::clamp(std::lround(m_plant.Temperature() * kCountsPerDegree), 0L, 255L));
}

}
