// Reading a PNG file back into a surface, for tests and hosts that compare pictures.
#pragma once

#include <memory>

#include "zorkit/platform/gdi/Surface.h"

namespace zorkit {

// The file's pixels (alpha dropped); null when it cannot be read as a PNG.
std::shared_ptr<Surface> ReadPng(const char* path);

}
