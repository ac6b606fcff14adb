// zordis --asm: source that the 8051 assembler turns back into the same bytes.
#pragma once

#include <string>
#include <vector>

#include "tools/common/CodeImage.h"

namespace zordis {

// Traces image from the reset and interrupt vectors and from entries, writes the source
// to stdout and what stopped the trace to stderr; title heads the source. Returns the
// exit status.
int ListAssembly(const tools::CCodeImage& image, const std::vector<unsigned long>& entries, const std::string& title);

}
