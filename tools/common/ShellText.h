// What the tools that run other programs through /bin/sh share.
#pragma once

#include <filesystem>
#include <string>

namespace tools {

// One word for /bin/sh, whatever it holds.
std::string ShellQuoted(const std::string& text);
// The whole file, or nothing when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

}
