#include "tools/common/ExitStatus.h"

#include <cstdio>

#include "tools/common/Wording.h"

namespace tools {

int UsageError(const char* tool, const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n%s\n", tool, message.c_str(), Say("Try '{1} --help'.", {tool}).c_str());
    return kExitUsage;
}

}
