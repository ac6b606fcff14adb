// What zorstudio prints of a temperature run on standard output: a line every few
// samples while it runs, the settling figures at the end.
#pragma once

#include <string>

#include "tools/zorstudio/ExperimentRecord.h"

namespace zorstudio {

class CRunPrinter {
public:
    explicit CRunPrinter(int samples);
    void Sample(const CExperimentSample& sample) const;
    // Short enough for a window title.
    static std::string Outcome(const CExperimentRecord& record);
    static void PrintSummary(const CExperimentRecord& record);

private:
    int m_every;
};

}
