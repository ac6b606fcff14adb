#include "sim/Experiment.h"

#include <algorithm>
#include <cmath>

namespace zorkit::sim {
namespace {
constexpr BYTE kStray = 0xFF;
}

CExperiment::CExperiment(const CExperimentSettings& settings, Clock::time_point now)
    : m_settings(settings), m_heater(settings.heater), m_motor(settings.motor), m_random(settings.seed),
      m_deadline(now + settings.samplePeriod)
{
}

std::optional<CExperiment::Clock::time_point> CExperiment::NextDeadline() const
{
    // The stepper only answers.
    if (m_settings.plant == PlantKind::Stepper)
        return std::nullopt;
    return m_deadline;
}

void CExperiment::Tick(Clock::time_point now, Output& out)
{
    if (m_settings.plant == PlantKind::Stepper || now < m_deadline)
        return;
    // An unanswered sample: the plant runs on with the drive it had.
    if (m_awaitingAnswer)
        Advance();
    SendSample(now, out);
}

void CExperiment::Receive(BYTE b, Clock::time_point now, Output& out)
{
    if (m_settings.plant == PlantKind::Stepper) {
        if (m_stepper.Command(b)) {
            ++m_answers;
            m_lastAnswer = b;
            out.push_back(BYTE(m_stepper.Position() & 0xFF));
        }
        return;
    }
    // Bytes between an answer and the next sample are line noise to the firmware.
    if (!m_awaitingAnswer)
        return;
    m_awaitingAnswer = false;
    ++m_answers;
    m_lastAnswer = b;
    Drive(b);
    Advance();
    m_deadline = now + m_settings.samplePeriod;
}

void CExperiment::SendSample(Clock::time_point now, Output& out)
{
    out.push_back(ReadAdc());
    if (m_settings.strayByte)
        out.push_back(kStray);
    ++m_samples;
    m_awaitingAnswer = true;
    m_deadline = now + m_settings.answerWindow;
}

void CExperiment::Drive(BYTE b)
{
    if (m_settings.plant == PlantKind::Heater)
        m_heater.Drive(b);
    else
        m_motor.Drive(b);
}

void CExperiment::Advance()
{
    if (m_settings.plant == PlantKind::Heater)
        m_heater.Advance(m_settings.step);
    else
        m_motor.Advance(m_settings.step);
}

BYTE CExperiment::ReadAdc()
{
    double value = m_settings.plant == PlantKind::Heater ? m_heater.AdcValue() : m_motor.AdcValue();
    if (m_settings.noise > 0.0)
        value += m_settings.noise * m_noise(m_random);
    return BYTE(std::clamp(std::lround(value), 0L, 255L));
}

CExperimentState CExperiment::State() const
{
    CExperimentState state;
    state.plant = m_settings.plant;
    state.samples = m_samples;
    state.answers = m_answers;
    state.temperature = m_heater.Temperature();
    state.adc = m_settings.plant == PlantKind::Heater ? m_heater.AdcValue() : m_motor.AdcValue();
    state.position = m_stepper.Position();
    state.lastAnswer = m_lastAnswer;
    return state;
}

}
