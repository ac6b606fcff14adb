#include "tools/zorstudio/ExperimentExport.h"

#include "zorkit/platform/core/AtomicFileWriter.h"
#include "zorkit/platform/gdi/PrintDC.h"
#include "tools/common/ControlSample.h"

namespace zorstudio {

bool ExportPng(CExperimentRecord& record, const std::string& path)
{
    return record.Picture() && record.Picture()->WritePng(path.c_str());
}

bool ExportPdf(CExperimentRecord& record, const std::string& path)
{
    if (!record.Picture())
        return false;
    CPrintDC printer;
    if (!printer.Create(path.c_str()) || printer.StartDoc("zorstudio") <= 0 || printer.StartPage() <= 0)
        return false;
    record.Picture()->Graph().PrintWave(&printer);
    return printer.EndPage() > 0 && printer.EndDoc() > 0;
}

bool ExportCsv(const CExperimentRecord& record, const std::string& path)
{
    std::string text = tools::kSampleCsvHeading;
    for (const CExperimentSample& s : record.Samples())
        text += tools::SampleCsvLine(s.index, unsigned(s.ms), {s.shown, s.raw}, s.output);
    zorkit::AtomicFileWriter out;
    return out.Open(path.c_str()) && out.Write(text.data(), text.size()) && out.Commit();
}

}
