// Real desktop input for a private X server: xdotool run as a child process.
#pragma once

#include <string>
#include <vector>

namespace zorkit::test {

// Runs `xdotool args...` against `display` and waits for it; true when it exits with 0.
bool RunXdotool(const std::string& display, const std::vector<std::string>& args);

}
