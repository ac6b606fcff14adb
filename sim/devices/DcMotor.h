// A DC motor on a drive pin: full voltage while the pin is high, so its speed
// settles at the pin's duty cycle times the top speed (a first-order lag of
// kLagCycles). Its encoder gives pulsesPerTurn pulses a turn on a counter input.
#pragma once

#include <cstdint>

namespace zorkit::sim {

class CDcMotor {
public:
    static constexpr double kLagCycles = 100000; // 0.1 s
    // The drive's duty cycle is shown averaged over 10 ms.
    static constexpr double kDutyCycles = 10000;

    CDcMotor(int pulsesPerTurn, int maxRpm) : m_pulsesPerTurn(pulsesPerTurn), m_maxRpm(maxRpm) {}

    // Brings the motor to `cycle` under the drive it had since the last call.
    void Advance(std::uint64_t cycle);
    void SetDrive(bool on, std::uint64_t cycle)
    {
        Advance(cycle);
        m_drive = on;
    }
    double Rpm() const { return m_rpm; }
    double Duty() const { return m_duty; }
    double Turns() const { return m_turns; }
    // Standing undriven: advancing changes nothing, whenever it is done.
    bool AtRest() const { return !m_drive && m_rpm == 0 && m_duty == 0; }
    // The encoder's output: high in the first half of each pulse.
    bool EncoderLevel() const;
    // When the encoder's output changes next at the present speed (the caller
    // advances at least that far and asks again); UINT64_MAX while standing.
    std::uint64_t NextEncoderEdge() const;

private:
    int m_pulsesPerTurn;
    int m_maxRpm;
    bool m_drive = false;
    double m_rpm = 0;
    double m_duty = 0;
    double m_turns = 0;
    std::uint64_t m_cycle = 0;
};

}
