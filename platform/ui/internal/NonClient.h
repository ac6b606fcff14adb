// Drawing what lies outside a window's client area: borders, edges and the window's
// own scroll bars; and the look of a scroll bar, shared with scroll-bar controls.
#pragma once

#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/ui/internal/ScrollBarState.h"

namespace zorkit {

void DrawFrame(HWND hwnd);
void DrawScrollBar(CDC& dc, const CRect& bar, bool vertical, const ScrollBarState& state, bool enabled);

}
