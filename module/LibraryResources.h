// The library's resources: string table, and the run-time classes hosts create by name.
#pragma once

#include "zorkit/module/ResourceIds.h"

namespace zorkit {

void RegisterLibraryResources();
void UnregisterLibraryResources();

}
