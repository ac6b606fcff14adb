// The library's resources: string table, and the run-time classes hosts create by name.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

constexpr UINT IDS_OUT_OF_MEMORY = 102;
constexpr UINT IDS_WRONG_CHIP = 110;
constexpr UINT IDS_PORT_IN_USE = 111;
constexpr UINT IDS_PORT_SYSTEM_ERROR = 112;
constexpr UINT IDS_PORT_AND_BAUD = 113;
constexpr UINT IDS_CARET_INDICATOR = 59187;

void RegisterLibraryResources();
void UnregisterLibraryResources();

}
