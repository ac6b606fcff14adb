#include "zorkit/platform/core/Terminal.h"

#include <unistd.h>

namespace zorkit {
bool IsTerminal(std::FILE* stream) { return stream && ::isatty(::fileno(stream)) == 1; }
}
