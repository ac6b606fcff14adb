#include "tools/common/ExperimentPicture.h"

#include <algorithm>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"

namespace {

constexpr COLORREF kMeasuredColour = RGB(255, 255, 0);
constexpr COLORREF kOutputColour = RGB(0, 200, 255);

}

CExperimentWords CExperimentWords::English(ExperimentQuantity quantity)
{
    const bool temperature = quantity == ExperimentQuantity::Temperature;
    return {temperature ? "Temperature control" : "Speed control", temperature ? "Temperature" : "Speed", "Output byte",
            "samples", temperature ? zorkit::GbkFromUtf8("°C") : "speed"};
}

CExperimentPicture::CExperimentPicture(ExperimentQuantity quantity, int setPoint, int capacity, const CExperimentWords& words)
{
    const bool temperature = quantity == ExperimentQuantity::Temperature;
    m_measuredCurve.samples = &m_measured;
    m_measuredCurve.name = words.measured.c_str();
    m_measuredCurve.color = kMeasuredColour;
    m_outputCurve.samples = &m_output;
    m_outputCurve.name = words.output.c_str();
    m_outputCurve.color = kOutputColour;
    // The graph redraws the reference line before each curve: the measured curve goes
    // last so that the line does not hide it.
    m_draw.series = {&m_outputCurve, &m_measuredCurve};
    m_draw.rect = CRect(20, 20, 520, 320);
    m_draw.title = words.title.c_str();
    m_draw.xLabel = words.samples.c_str();
    m_draw.yLabel = words.yUnit.c_str();
    m_graph.SetDraw(&m_draw);
    m_graph.SetSize(std::max(1, capacity));
    // The plot is symmetric about 0: the whole range of the shown values above the middle.
    m_graph.SetYRange(temperature ? 200 : 1000);
    m_graph.SetBenchmark(setPoint);
}

BOOL CExperimentPicture::Add(double measured, int output)
{
    if (!m_measured.Add(measured))
        return FALSE;
    m_output.Add(output);
    return TRUE;
}

BOOL CExperimentPicture::WritePng(const char* path)
{
    CDC dc;
    CBitmap bitmap;
    if (!dc.CreateCompatibleDC(nullptr) || !bitmap.CreateCompatibleBitmap(&dc, kWidth, kHeight))
        return FALSE;
    dc.SelectObject(&bitmap);
    m_graph.Draw(&dc);
    return dc.WritePng(path);
}
