// The heater of a control lab on the board: the D/A converter sets its power (00
// off, FF full) and its sensor feeds an A/D input, 0-255 for 0-100 degrees. The
// plant moves in steps of kStepCycles, short beside its dead time and lag.
#pragma once

#include <cstdint>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/Plants.h"

namespace zorkit::sim {

class CBoardHeater {
public:
    static constexpr std::uint64_t kStepCycles = 100000; // 0.1 s at 12 MHz

    // Brings the plant to `cycle` under the power it had since the last call.
    void AdvanceTo(std::uint64_t cycle);
    void SetPower(BYTE dac, std::uint64_t cycle);
    // When the plant moves next.
    std::uint64_t NextStep() const { return m_stepped + kStepCycles; }
    // The sensor's reading on the A/D input.
    BYTE Reading() const;
    double Temperature() const { return m_plant.Temperature(); }
    BYTE Power() const { return m_power; }

private:
    CHeaterPlant m_plant;
    BYTE m_power = 0;
    std::uint64_t m_stepped = 0;
};

}
