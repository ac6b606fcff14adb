// What zorstudio keeps of a run: the picture, the measured values, a line on
// standard output every few samples and the summary of the settling at the end.
#pragma once

#include <string>
#include <vector>

#include "tools/common/ExperimentPicture.h"

namespace zorstudio {

class CRunRecord {
public:
    // Band around the set point within which the run counts as settled.
    static constexpr double kBand = 2.0;

    CRunRecord(int setPoint, int samples);
    void Add(double shown, int output);
    int Count() const { return int(m_values.size()); }
    CExperimentPicture& Picture() { return m_picture; }
    // Short enough for a window title.
    std::string Outcome() const;
    void PrintSummary() const;

private:
    CExperimentPicture m_picture;
    std::vector<double> m_values;
    int m_setPoint;
    int m_every;
};

}
