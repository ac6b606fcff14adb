// The disassembly listing: a text view whose margin toggles breakpoints. A click in
// the margin tells the host the line; the text area selects as in any text view.
#pragma once

#include <functional>

#include "zorkit/editor/TextView.h"

namespace zorstudio {

class CListingView : public CTextView {
public:
    // Hears of a click in the margin next to a line of the text.
    std::function<void(int line)> onMarginClick;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

    void OnLButtonDown(UINT flags, CPoint point);
};

}
