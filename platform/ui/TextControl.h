// What the dialog's text controls (buttons, statics) share: they paint all of
// themselves in WM_PAINT, keep the font they are given, and repaint when their text
// or font changes.
#pragma once

#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/GdiTypes.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace zorkit {

class TextControl : public ControlProc {
protected:
    // Handles painting, erasing, text and font messages; false for any other message.
    bool HandleTextMessage(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Selects the control's font (the dialog font when none was given) into `dc`.
    void SelectFont(CDC& dc) const;
    virtual void Paint(CWnd* wnd) = 0;

private:
    HFONT m_font = nullptr;
};

}
