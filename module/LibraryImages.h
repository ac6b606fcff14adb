// The library's pictures: the text views' margin images and margin cursor.
#pragma once

#include "zorkit/module/ResourceIds.h"

namespace zorkit {

void RegisterLibraryImages();
void UnregisterLibraryImages();

}
