#include "tools/common/ExitStatus.h"

#include <cstdio>

namespace tools {

int UsageError(const char* tool, const std::string& message)
{
    std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", tool, message.c_str(), tool);
    return kExitUsage;
}

}
