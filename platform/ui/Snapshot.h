// Pictures of windows: a copy of what a window shows (children included, caret not),
// as a surface or a PNG file.
#pragma once

#include <memory>

#include "zorkit/platform/gdi/Surface.h"

namespace zorkit {

// The window's pixels (client area only when clientOnly); null for a dead window or
// an empty area. Parts hidden by ancestors stay black.
std::shared_ptr<Surface> CaptureWindow(HWND hwnd, bool clientOnly = false);
BOOL WriteWindowPng(HWND hwnd, const char* path, bool clientOnly = false);

}
