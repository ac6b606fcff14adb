// The board's control-experiment firmware as a byte-in, bytes-out machine, like
// CMonitor: it sends one ADC sample of its plant per period and takes the host's
// answer byte as the plant's new drive (heater, motor), or answers every step
// command with one byte (stepper).
//
//   CExperiment experiment({PlantKind::Heater}, Clock::now());
//   experiment.Tick(now, out);       // when NextDeadline() has come: a sample goes out
//   experiment.Receive(b, now, out); // the host's answer drives the plant one step on
//
// Not thread-safe: the owner serialises every call.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <random>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/Plants.h"

namespace zorkit::sim {

enum class PlantKind { Heater, Motor, Stepper };

struct CExperimentSettings {
    PlantKind plant = PlantKind::Heater;
    // Line time from the host's answer to the next sample.
    std::chrono::milliseconds samplePeriod{10};
    // A sample left unanswered this long is followed by the next, the drive held.
    std::chrono::milliseconds answerWindow{1000};
    // Plant time that passes per sample, in seconds.
    double step = 0.5;
    // Standard deviation of the ADC's noise, in counts; 0 for none.
    double noise = 0.0;
    unsigned seed = 1;
    // A noisy line: every sample is followed at once by a stray 0xFF.
    bool strayByte = false;
    CHeaterParameters heater;
    CMotorParameters motor;
};

// What a test or the tool may look at while an experiment runs.
struct CExperimentState {
    PlantKind plant = PlantKind::Heater;
    std::size_t samples = 0;    // samples sent
    std::size_t answers = 0;    // answer bytes taken (heater, motor) or step commands (stepper)
    double temperature = 0.0;   // heater, on the shown scale
    double adc = 0.0;           // heater and motor: the reading without noise
    int position = 0;           // stepper
    BYTE lastAnswer = 0;
};

class CExperiment {
public:
    using Clock = std::chrono::steady_clock;
    using Output = std::vector<BYTE>;

    CExperiment(const CExperimentSettings& settings, Clock::time_point now);

    void Receive(BYTE b, Clock::time_point now, Output& out);
    void Tick(Clock::time_point now, Output& out);
    std::optional<Clock::time_point> NextDeadline() const;
    CExperimentState State() const;

private:
    void SendSample(Clock::time_point now, Output& out);
    void Drive(BYTE b);
    void Advance();
    BYTE ReadAdc();

    CExperimentSettings m_settings;
    CHeaterPlant m_heater;
    CMotorPlant m_motor;
    CStepperPlant m_stepper;
    std::mt19937 m_random;
    std::normal_distribution<double> m_noise{0.0, 1.0};
    bool m_awaitingAnswer = false;
    Clock::time_point m_deadline;
    std::size_t m_samples = 0;
    std::size_t m_answers = 0;
    BYTE m_lastAnswer = 0;
};

}
