// The text view as the buffer knows it: an attached view is told of every change.
// The window side of the class (layout, painting, caret, scrolling) joins it later.
#pragma once

#include "zorkit/platform/core/RuntimeClass.h"

class CUpdateContext;

class CTextView : public CObject {
public:
    // Called by CTextBuf::UpdateViews on every attached view, the source view included:
    // source is the view that made the change (or null), context moves positions past an
    // edit (or null), hints are TBU_* bits and line the first line concerned (-1: all).
    virtual void UpdateView(CTextView* source, CUpdateContext* context, unsigned long hints, int line) = 0;
};
