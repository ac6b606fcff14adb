#include "tools/common/ExperimentPicture.h"

#include <algorithm>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"

namespace {

constexpr COLORREF kMeasuredColour = RGB(255, 255, 0);
constexpr COLORREF kOutputColour = RGB(0, 200, 255);

}

CExperimentPicture::CExperimentPicture(ExperimentQuantity quantity, int setPoint, int capacity)
{
    const bool temperature = quantity == ExperimentQuantity::Temperature;
    m_measuredCurve.samples = &m_measured;
    m_measuredCurve.name = temperature ? "Temperature" : "Speed";
    m_measuredCurve.color = kMeasuredColour;
    m_outputCurve.samples = &m_output;
    m_outputCurve.name = "Output byte";
    m_outputCurve.color = kOutputColour;
    // The graph redraws the reference line before each curve: the measured curve goes
    // last so that the line does not hide it.
    m_draw.series = {&m_outputCurve, &m_measuredCurve};
    m_draw.rect = CRect(20, 20, 520, 320);
    m_draw.title = temperature ? "Temperature control" : "Speed control";
    m_draw.xLabel = "samples";
    m_draw.yLabel = temperature ? CString(zorkit::GbkFromUtf8("°C")) : CString("speed");
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
