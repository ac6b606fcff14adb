// The behaviour of a push-button window ("BUTTON"): raised face with centred text, a
// dark frame when it is the default button or has the focus, pressed look while the
// left button or Space holds it, and BN_CLICKED to the parent through WM_COMMAND when
// released over it (or on BM_CLICK).
#pragma once

#include "zorkit/platform/gdi/GdiTypes.h"
#include "zorkit/platform/ui/TextControl.h"

constexpr UINT BM_CLICK = 0x00F5, BM_SETSTYLE = 0x00F4;
constexpr int BN_CLICKED = 0;

namespace zorkit {

class ButtonControl final : public TextControl {
public:
    LRESULT WndProc(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(CWnd* wnd) override;
    void SetPressed(CWnd* wnd, bool pressed);
    void Click(CWnd* wnd);
    bool m_pressed = false;
    bool m_tracking = false;  // the left button went down on us
    bool m_focused = false;
};

}
