// A press on a scroll bar and what follows until the button is released: arrows and
// the track send one line or page request, dragging the thumb sends track requests
// with the tracking position, and the release ends with the thumb's final position
// and SB_ENDSCROLL. While it runs, the pointer belongs to it.
#pragma once

#include <memory>

#include "zorkit/platform/ui/internal/ScrollBarLayout.h"

namespace zorkit {

class ScrollTracker {
public:
    // Starts tracking a press at a screen point on bar (SB_HORZ, SB_VERT or SB_CTL) of
    // hwnd; null when the press hits no active part.
    static std::unique_ptr<ScrollTracker> Begin(HWND hwnd, int bar, CPoint screen);

    void MouseMove(CPoint screen);
    void ButtonUp(CPoint screen);

private:
    ScrollTracker(HWND hwnd, int bar) : m_hwnd(hwnd), m_bar(bar) {}
    CRect BarOnScreen() const;
    ScrollBarState* State() const;
    void Send(UINT code, int pos) const;

    HWND m_hwnd;
    int m_bar;
    ScrollPart m_part = ScrollPart::None;
    int m_grab = 0;
};

}
