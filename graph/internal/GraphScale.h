// The mapping from sample values and indices to pixels of a plot rectangle, and the
// texts and places of the value and sample-number labels.
#pragma once

#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/core/Geometry.h"

class GraphScale {
public:
    // n: values across the plot (the last curve's buffer size); zoom and yRange non-zero.
    GraphScale(const CRect& plot, int zoom, int yRange, int n);

    // Pixels are truncated toward zero and kept within GDI's coordinate space.
    int Y(double value) const;
    // x of value j (from 0); value 0 of a curve starts from the plot's left edge.
    int X(int j) const;
    // False when n is 0: there are no places for values.
    bool HasColumns() const { return m_n > 0; }

    // r = 0 ... 10 from the bottom: the text and the y of its vertical middle.
    CString ValueLabel(int r) const;
    int ValueLabelMiddle(int r) const;
    // r = 0, 2, 4, 6, 8: the text and the x of its centre.
    CString SampleLabel(int r) const;
    int SampleLabelCentre(int r) const;

private:
    CRect m_plot;
    int m_zoom;
    int m_yRange;
    int m_n;
    int m_cy;
    double m_kx;
    double m_ky;
};
