// Making windows and keeping the tree: what CreateWindow does, and the bookkeeping
// that follows a change of size, frame or visibility.
#pragma once

#include "zorkit/platform/ui/internal/WindowState.h"
#include "zorkit/platform/ui/Messages.h"

namespace zorkit {

// Creates the window of cs for wnd and runs its creation messages. ownsWnd: wnd was
// made by the window system and is deleted with the window. Null on failure.
HWND CreateWindowFor(CWnd* wnd, CREATESTRUCT& cs, bool ownsWnd);
// Sends WM_SIZE when the client size differs from the last one reported.
void ReportClientSize(WindowState* state);
// Marks the frame (borders, scroll bars) for drawing at the next paint.
void InvalidateFrame(WindowState* state);

}
