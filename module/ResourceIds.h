// The ids of the library's strings, bitmaps and cursors: the one module header the
// subsystems use, so each id has one definition.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

constexpr UINT IDS_OUT_OF_MEMORY = 102;
constexpr UINT IDS_WRONG_CHIP = 110;
constexpr UINT IDS_PORT_IN_USE = 111;
constexpr UINT IDS_PORT_SYSTEM_ERROR = 112;
constexpr UINT IDS_PORT_AND_BAUD = 113;
constexpr UINT IDS_CARET_INDICATOR = 59187;

// Four 16 x 16 margin images side by side; RGB(0, 255, 255) is transparent.
constexpr UINT IDB_MARGIN_IMAGES = 5001;
constexpr COLORREF kMarginImagesTransparent = 0x00FFFF00;  // RGB(0, 255, 255)
// The arrow shown over the margin: the standard arrow mirrored, pointing up and right.
constexpr UINT IDC_MARGIN_CURSOR = 5000;

// The reset prompt: press the board's reset key, Escape cancels.
constexpr UINT IDD_RESET_PROMPT = 5002;
// Its static control for the port and baud rate (the host sets string 113 formatted).
constexpr UINT IDC_PORT_AND_BAUD = 5003;

}
