// The build output: a read-only text view where a double click on a message tells
// the host which line was chosen, so that it can show the line the message is about.
#pragma once

#include <functional>

#include "zorkit/editor/TextView.h"

namespace zorstudio {

class COutputView : public CTextView {
public:
    std::function<void(int line)> onLineChosen;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

    void OnLButtonDblClk(UINT flags, CPoint point);
};

}
