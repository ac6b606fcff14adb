// Device contexts bound to windows: a CDC over the part of a top-level window's
// surface where the window lies, clipped to what its ancestors leave visible (and
// to the invalid area while painting).
#pragma once

#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/ui/Wnd.h"

namespace zorkit {

// Points dc at hwnd's client area (client) or whole window; clip, in the same
// coordinates, narrows it further. FALSE for a dead window.
BOOL AttachWindowSurface(CDC& dc, HWND hwnd, bool client, const CRect* clip);

// The window DC behind a handle that the window system handed out (paint, client and
// window DCs), or null.
CDC* DCFromHandle(HDC hdc);
void RegisterWindowDC(CDC* dc);
void UnregisterWindowDC(CDC* dc);

// What BeginPaint and EndPaint do, on a DC the caller provides.
BOOL BeginPaintOn(CDC& dc, HWND hwnd, PAINTSTRUCT* paint);
void EndPaintOn(CDC& dc, HWND hwnd, PAINTSTRUCT* paint);

// Heap DCs for CWnd::BeginPaint, GetDC and GetWindowDC, freed by EndPaintDC / ReleaseWindowDC.
CDC* BeginPaintDC(HWND hwnd, PAINTSTRUCT* paint);
void EndPaintDC(HWND hwnd, PAINTSTRUCT* paint);
CDC* GetWindowDCFor(HWND hwnd, bool client);
int ReleaseWindowDC(CDC* dc);

}
