// The control laws of the experiments: PID for temperature and speed (used by the
// sampling loop) and the fuzzy alternatives.
#include "zorkit/link/internal/ControlLaws.h"

#include <cmath>
#include <cstdio>

#include "zorkit/link/ZORComm.h"

namespace zorkit::control {

const int kFuzzyRules1[13][13] = {
    {7, 6, 7, 6, 7, 7, 7, 4, 4, 1, 0, 0, 0},
    {6, 6, 6, 6, 6, 6, 6, 4, 4, 1, 0, 0, 0},
    {7, 6, 7, 6, 7, 7, 5, 4, 3, 1, 0, 0, 0},
    {7, 6, 6, 6, 6, 6, 3, 3, 1, 0, 0, 0, 0},
    {4, 4, 4, 5, 4, 4, 2, 1, 0, 0, 0, 0, 0},
    {4, 4, 4, 5, 4, 3, 1, 0, 0, 0, 0, 0, 0},
    {4, 4, 4, 5, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {2, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

const int kFuzzyRules2[13][13] = {
    {5, 5, 4, 4, 2, 1, 1, 1, 1, 0, 0, 0, 0},
    {5, 4, 4, 3, 2, 2, 1, 1, 0, 0, 0, 0, 0},
    {4, 4, 4, 3, 2, 2, 1, 1, 0, 0, 0, 0, 0},
    {4, 4, 3, 3, 3, 3, 3, 1, 0, 0, 0, 0, 0},
    {4, 3, 3, 2, 1, 1, 1, 1, 0, 0, 0, 0, 0},
    {3, 3, 2, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {3, 3, 3, 2, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {2, 2, 2, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0},
    {2, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
};

// The comparisons are written so that a NaN (from NaN gains) gives the weakest drive.
BYTE TemperatureOutput(double x)
{
    if (x < 0.1)
        return 91;
    if (!(x <= 91.0))
        return 0;
    return BYTE(std::trunc(91.0 - x));
}

BYTE SpeedOutput(double x)
{
    if (!(x >= 17.0))
        return 239;
    if (x > 256.0)
        return 32;
    return BYTE(int(std::trunc(256.0 - x)));
}

int QuantiseFuzzy(float value)
{
    double q = value > 0.0f ? std::trunc(double(value) + 0.5) : std::trunc(double(value) - 0.5);
    // Clamped before the conversion: huge scaled errors must not overflow an int.
    if (std::isnan(q))
        return 0;
    if (q < -6.0)
        return -6;
    if (q > 6.0)
        return 6;
    return int(q);
}

}

using namespace zorkit::control;

namespace {
float TemperatureSetPoint(int target) { return float(target / 100.0 * 5.0); }
}

char CZORComm::CtrlTemperature1(float v, int i)
{
    ControlMemory& m = m_ctrlMemory;
    if (i == 0)
        m.tempSum = m.tempLast = 0.0f;
    float T = TemperatureSetPoint(m_targetTemp.load(std::memory_order_relaxed));
    float e = float(double(v) - double(T));
    m.tempSum = float(double(m.tempSum) + double(e));
    // Summed as P + I + D in that order, like the speed law, so that both round alike.
    double u = double(m_kp.load(std::memory_order_relaxed)) * e;
    // The integral acts only when the plant is at least a whole volt too hot.
    if (!(e < 0.0f || std::abs(std::trunc(double(e))) < 1.0))
        u += double(m_ki.load(std::memory_order_relaxed)) * double(m.tempSum);
    u += double(m_kd.load(std::memory_order_relaxed)) * (double(e) - double(m.tempLast));
    float x = float(double(float(u)) / 2.5 * 128.0);
    m.tempLast = e;
    return char(TemperatureOutput(x));
}

char CZORComm::CtrlVilocity(float v, int i)
{
    ControlMemory& m = m_ctrlMemory;
    if (i == 0)
        m.viloSum = m.viloLast = 0.0f;
    float T = float(m_targetVilo.load(std::memory_order_relaxed) * 0.01);
    float e = float(double(T) - double(v));
    double u = double(m_kp.load(std::memory_order_relaxed)) * e + double(m_ki.load(std::memory_order_relaxed)) * m.viloSum
        + double(m_kd.load(std::memory_order_relaxed)) * (double(e) - double(m.viloLast));
    float x = float(double(float(u)) / 2.5 * 128.0);
    m.viloLast = e;
    m.viloSum = float(double(m.viloSum) + double(e));
    return char(SpeedOutput(x));
}

char CZORComm::CtrlTemperature(float v, int i)
{
    float& last = m_ctrlMemory.fuzzyTempLast;
    if (i == 0)
        last = 0.0f;
    float e = float(double(v) - double(TemperatureSetPoint(m_targetTemp.load(std::memory_order_relaxed))));
    float u = e > -0.5f ? fuzzy2(e, last) : fuzzy1(e, last);
    last = e;
    return char(TemperatureOutput(u));
}

char CZORComm::CtrlVilocity1(float v, int i)
{
    float& last = m_ctrlMemory.fuzzyViloLast;
    if (i == 0)
        last = 0.0f;
    float T = float(m_targetVilo.load(std::memory_order_relaxed) * 5.0 / 500.0);
    float e = float(double(v) - double(T));
    float u = e > -0.5f ? fuzzy2(e, last) : fuzzy1(e, last);
    last = e;
    return char(TemperatureOutput(u));
}

float CZORComm::fuzzy1(float e, float ep)
{
    return Fuzzy(kFuzzyRules1, m_kp.load(std::memory_order_relaxed), m_ki.load(std::memory_order_relaxed),
                 m_kd.load(std::memory_order_relaxed), "F1(%d,%d)  ", e, ep);
}

float CZORComm::fuzzy2(float e, float ep) { return Fuzzy(kFuzzyRules2, 20.0f, 100.0f, 1.0f, "F2(%d,%d)  ", e, ep); }

float CZORComm::Fuzzy(const int (&table)[13][13], float ke, float kc, float ku, const char* trace, float e, float ep)
{
    float de = float(double(e) - double(ep));
    float E = float(double(ke) * e);
    float EC = float(double(kc) * de);
    int nE = QuantiseFuzzy(E);
    int nEC = QuantiseFuzzy(EC);
    // The trace is for whoever tunes the laws: it goes to the communication log.
    char line[32];
    std::snprintf(line, sizeof line, trace, nE, nEC);
    WriteLog(line);
    float u = float(double(table[nE + 6][nEC + 6]) * ku);
    return u > 91.0f ? 91.0f : u;
}
