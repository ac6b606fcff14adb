// The direction rules of the source tree: which layer a file belongs to and which
// layers' headers it may include.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zorkit::structure {

// The layer of a path relative to the tree's root ("platform/ui", "link", "sim",
// "tools", ...), or empty for files outside the layered code.
std::string LayerOf(const std::string& path);

// Why the file at `from` may not include `included` (the text between the quotes or
// angle brackets), or nothing when it may.
std::optional<std::string> IncludeViolation(const std::string& from, const std::string& included);

// An include that goes a forbidden way: "file:line", the line itself, and why.
struct COffence {
    std::string where;
    std::string line;
    std::string reason;
};

// Every include of the layered code under `root` that breaks the rules.
std::vector<COffence> CheckTree(const std::filesystem::path& root);

}
