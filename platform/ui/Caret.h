// The caret: one per thread, owned by the window that created it. It is not drawn
// into the window's pixels; an on-screen backend shows it over them (blinking), so
// snapshots and pixel tests see the window without it.
#pragma once

#include "zorkit/platform/core/Geometry.h"
#include "zorkit/platform/gdi/GdiTypes.h"
#include "zorkit/platform/gdi/SystemSettings.h"

// bitmap null: a solid caret; (HBITMAP)1: a grey one.
BOOL CreateCaret(HWND owner, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
// Show and hide nest: the caret shows when shown as often as hidden (and once more).
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
BOOL SetCaretPos(int x, int y);  // owner's client coordinates
BOOL GetCaretPos(LPPOINT point);
UINT GetCaretBlinkTime();

namespace zorkit {

struct CaretInfo {
    HWND owner;  // null when there is no caret
    CRect rect;  // owner's client coordinates
    bool visible;
    bool gray;
};
CaretInfo GetCaretInfo();
// A destroyed window loses the caret it owned.
void ForgetCaretOwner(HWND hwnd);

}
