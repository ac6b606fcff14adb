// DRAW: one picture of a graph: plot rectangle, texts and curves (in drawing order).
// The curves stay the host's.
#pragma once

#include <vector>

#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/core/Geometry.h"

struct DATA;

struct DRAW {
    std::vector<DATA*> series;
    CRect rect;
    CString title;
    CString xLabel;
    CString yLabel;
};
