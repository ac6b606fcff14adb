#include "zorkit/graph/internal/GraphScale.h"

#include <cmath>
#include <cstdlib>

namespace {

// Far beyond any surface, yet a line to it stays cheap to clip.
constexpr double kPixelLimit = 1 << 24;

int Truncate(double value)
{
    if (std::isnan(value))
        return 0;
    if (value > kPixelLimit)
        return int(kPixelLimit);
    if (value < -kPixelLimit)
        return -int(kPixelLimit);
    return int(value);
}

}

GraphScale::GraphScale(const CRect& plot, int zoom, int yRange, int n)
    : m_plot(plot), m_zoom(zoom), m_yRange(yRange), m_n(n), m_cy((plot.top + plot.bottom) / 2),
      m_kx(n > 0 ? double(plot.Width()) / n : 0.0), m_ky(double(zoom) * plot.Height() / yRange)
{
}

int GraphScale::Y(double value) const { return Truncate(m_cy - value * m_ky); }

int GraphScale::X(int j) const { return Truncate(m_plot.left + (j + 1) * m_kx); }

CString GraphScale::ValueLabel(int r) const
{
    CString text;
    text.Format("%4.f", double(r - 5) * std::abs(m_yRange / 10) / m_zoom);
    return text;
}

int GraphScale::ValueLabelMiddle(int r) const { return m_plot.top + (10 - r) * m_plot.Height() / 10; }

CString GraphScale::SampleLabel(int r) const
{
    CString text;
    text.Format("%d", r * m_n / 10);
    return text;
}

int GraphScale::SampleLabelCentre(int r) const { return m_plot.left + r * m_plot.Width() / 10; }
