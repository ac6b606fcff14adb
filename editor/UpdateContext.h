// Tells a view how an edit moved the text, so that a caret, a selection or the top line
// keeps pointing at the same text. A context lives on the stack of the editing call and
// is valid only while the views are being updated.
#pragma once

#include "zorkit/platform/core/Geometry.h"

class CUpdateContext {
public:
    virtual ~CUpdateContext() = default;
    // Moves a text position (x = byte in line, y = line) past the edit.
    virtual void AdjustPoint(CPoint& point) = 0;
};
