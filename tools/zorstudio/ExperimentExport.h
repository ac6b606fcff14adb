// A control run leaves the studio as a picture (PNG), a printout (PDF) and its
// samples (CSV: index,time_ms,shown,raw,output). Each returns false when it cannot
// write; the CSV replaces an earlier file only once it is complete. The stepper
// has no curve: it gives no picture and no printout.
#pragma once

#include <string>

#include "tools/zorstudio/ExperimentRecord.h"

namespace zorstudio {

bool ExportPng(CExperimentRecord& record, const std::string& path);
bool ExportPdf(CExperimentRecord& record, const std::string& path);
bool ExportCsv(const CExperimentRecord& record, const std::string& path);

}
