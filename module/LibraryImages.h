// The library's pictures: the text views' margin images and margin cursor.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

// Four 16 x 16 margin images side by side; RGB(0, 255, 255) is transparent.
constexpr UINT IDB_MARGIN_IMAGES = 5001;
constexpr COLORREF kMarginImagesTransparent = 0x00FFFF00;  // RGB(0, 255, 255)
// The arrow shown over the margin: the standard arrow mirrored, pointing up and right.
constexpr UINT IDC_MARGIN_CURSOR = 5000;

void RegisterLibraryImages();
void UnregisterLibraryImages();

}
