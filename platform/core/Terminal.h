// Whether a standard stream is an interactive terminal (for progress displays).
#pragma once

#include <cstdio>

namespace zorkit {
bool IsTerminal(std::FILE* stream);
}
