// A TOML text read as a whole: the board profile and the grader's scenarios are
// both written in it by hand, so both report a syntax error the same way.
//
//   std::string error;
//   std::optional<toml::table> root = zorkit::sim::ParseToml(text, error);
//   if (!root) std::cerr << "lab.toml:" << error << "\n";   // "3: expected '='"
#pragma once

#include <optional>
#include <string>

#include <toml++/toml.h>

namespace zorkit::sim {

// The text's root table, or nothing with `error` as "LINE: REASON".
std::optional<toml::table> ParseToml(const std::string& text, std::string& error);

}
