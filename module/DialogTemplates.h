// The dialog templates the library carries for its hosts. No library code opens them.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

// The reset prompt: press the board's reset key, Escape cancels.
constexpr UINT IDD_RESET_PROMPT = 5002;
// Its static control for the port and baud rate (the host sets string 113 formatted).
constexpr UINT IDC_PORT_AND_BAUD = 5003;

void RegisterDialogTemplates();
void UnregisterDialogTemplates();

}
