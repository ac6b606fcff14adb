// The run-time classes hosts create by name ("CTextBuf", and the views and the
// grid as they arrive).
#pragma once

namespace zorkit {

void RegisterLibraryClasses();
void UnregisterLibraryClasses();

}
