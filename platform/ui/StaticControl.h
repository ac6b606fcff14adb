// The behaviour of a static control window ("STATIC"): text laid out left, centred or
// right with line breaks and word wrapping in the window's font, or an etched
// horizontal or vertical rule. It never takes the focus.
#pragma once

#include "zorkit/platform/gdi/GdiTypes.h"
#include "zorkit/platform/ui/TextControl.h"

namespace zorkit {

class StaticControl final : public TextControl {
public:
    LRESULT WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(CWnd* wnd) override;
};

}
