// The direction rules of the source tree: which layer a file belongs to and which
// layers' headers it may include.
#pragma once

#include <optional>
#include <string>

namespace zorkit::structure {

// The layer of a path relative to the tree's root ("platform/ui", "link", "sim",
// "tools", ...), or empty for files outside the layered code.
std::string LayerOf(const std::string& path);

// Why the file at `from` may not include `included` (the text between the quotes or
// angle brackets), or nothing when it may.
std::optional<std::string> IncludeViolation(const std::string& from, const std::string& included);

}
