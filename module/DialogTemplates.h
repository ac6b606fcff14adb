// The dialog templates the library carries for its hosts. No library code opens them.
#pragma once

#include "zorkit/module/ResourceIds.h"

namespace zorkit {

void RegisterDialogTemplates();
void UnregisterDialogTemplates();

}
