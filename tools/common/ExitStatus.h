// The exit statuses every tool gives, and the one way a tool reports a bad command line.
#pragma once

#include <string>

namespace tools {

constexpr int kExitOk = 0;
// The work failed: stderr says why in plain words.
constexpr int kExitFailed = 1;
// The command line was wrong.
constexpr int kExitUsage = 2;

// "TOOL: MESSAGE" and a pointer to --help on stderr; returns kExitUsage.
int UsageError(const char* tool, const std::string& message);

}
