// The processes a control experiment closes its loop around, advanced in simulated
// time and read through the board's 8-bit ADC.
//
//   CHeaterPlant heater;
//   heater.Drive(91);            // full heating power
//   heater.Advance(0.5);         // half a second of plant time
//   BYTE adc = heater.Adc();     // falls as the temperature rises
#pragma once

#include <deque>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

// A heater and its sensor: first-order lag with dead time. Temperatures are on the
// host's shown scale, 0-100; the ADC byte is 0 at 100 and 128 at 50.
struct CHeaterParameters {
    double ambient = 20.0;      // temperature with the heater off
    double fullRise = 70.0;     // rise above ambient at full power, once settled
    double timeConstant = 20.0; // seconds
    double deadTime = 1.0;      // seconds between a power change and its first effect
};

class CHeaterPlant {
public:
    explicit CHeaterPlant(const CHeaterParameters& parameters = {});
    // The answer byte: heating power from 0 (off) to 91 (full); larger bytes count as full.
    void Drive(BYTE power) { m_power = power; }
    void Advance(double seconds);
    double Temperature() const { return m_temperature; }
    // The ADC reading without noise, as an unrounded count.
    double AdcValue() const;

private:
    struct CPastPower {
        double age;
        double fraction;
    };
    CHeaterParameters m_parameters;
    double m_temperature;
    BYTE m_power = 0;
    // Powers applied within the dead time, oldest first.
    std::deque<CPastPower> m_pipeline;
    double m_effective = 0.0;
};

// A DC motor and its tachometer: first-order lag. The ADC byte rises with speed; a
// lower answer byte drives harder, strongest at 32 (and below), weakest at 239 (and above).
struct CMotorParameters {
    double topSpeed = 240.0;    // ADC counts at the strongest drive
    double timeConstant = 0.4;  // seconds
};

class CMotorPlant {
public:
    explicit CMotorPlant(const CMotorParameters& parameters = {}) : m_parameters(parameters) {}
    void Drive(BYTE drive) { m_drive = drive; }
    void Advance(double seconds);
    double AdcValue() const { return m_speed; }

private:
    CMotorParameters m_parameters;
    double m_speed = 0.0;
    BYTE m_drive = 239;
};

// A stepper motor: one step per command byte, 0xAA one way and 0x55 the other.
class CStepperPlant {
public:
    // True when `command` made a step.
    bool Command(BYTE command);
    int Position() const { return m_position; }

private:
    int m_position = 0;
};

}
