// DATA: one curve of a graph. The SAMPLES buffer stays the host's.
#pragma once

#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/gdi/GdiTypes.h"

struct SAMPLES;

struct DATA {
    SAMPLES* samples = nullptr;
    CString name;                 // legend text
    COLORREF color = RGB(0, 0, 0);  // pen of the curve and fill of its legend swatch
    int penStyle = PS_SOLID;
};
