// The behaviour of a scroll-bar control window ("SCROLLBAR"): it draws the bar over
// its whole client area and turns presses into WM_HSCROLL / WM_VSCROLL requests to
// its parent, naming itself in lParam.
#pragma once

#include "zorkit/platform/ui/WindowClass.h"

namespace zorkit {

class ScrollBarControl final : public ControlProc {
public:
    LRESULT WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) override;
};

}
