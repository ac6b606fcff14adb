// One drawing call as a device context recorded it (see CDC::StartRecording), in the
// logical coordinates the caller passed, with the objects that were selected.
#pragma once

#include <string>

#include "zorkit/platform/core/Geometry.h"

namespace zorkit {

struct GdiCall {
    std::string name;   // "LineTo", "Rectangle", "FillRect", "PatBlt", "BitBlt", "TextOut", ...
    CRect rect;         // lines: from (left, top) to (right, bottom); text: origin in left/top
    COLORREF penColor = 0;
    int penStyle = 0;
    int penWidth = 0;
    COLORREF brushColor = 0;     // CLR_INVALID (0xFFFFFFFF) for the null brush
    COLORREF textColor = 0;
    int bkMode = 0;
    std::string text;            // the bytes given (GBK)
    LONG fontHeight = 0;
    LONG fontWeight = 0;
    LONG fontEscapement = 0;
    DWORD rop = 0;               // blits: the raster operation; pens: the ROP2 mode
};

}
