// How the register and memory grids mark a value that changed at the last stop.
#pragma once

#include "zorkit/platform/gdi/GdiTypes.h"

namespace zorstudio {

constexpr COLORREF kChangedText = RGB(192, 0, 0);
constexpr COLORREF kChangedBack = RGB(255, 236, 140);

}
