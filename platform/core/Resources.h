// Resources compiled into the libraries and registered by their entry code at
// load time: string tables by id. Texts are GBK bytes.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

// Registers (or replaces) string `id`; the text is copied.
void RegisterStringResource(UINT id, const char* gbkText);
void UnregisterStringResource(UINT id);
// The registered text, or null; valid until the id is registered again or removed.
const char* FindStringResource(UINT id);

}
