// Output files are checked before the work starts, so that a run is not lost to a
// path found unwritable only at its end.
#pragma once

#include <optional>
#include <string>

namespace tools {

// Why `path` cannot be written ("cannot write run.png: No such file or directory"), or
// nothing when it can. A file that did not exist is not left behind.
std::optional<std::string> CheckOutputPath(const std::string& path);
// The same for a directory that files will be created in; it is created when missing.
std::optional<std::string> CheckOutputDirectory(const std::string& directory);

}
