// One line of a zorlink script, split into words.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zorlink {

struct ScriptLine {
    std::vector<std::string> words; // the command and its arguments; never empty
    bool tolerated = false;         // the line began with '-': its failure does not end the script
};

// Splits a line at white space, '#' starting a comment anywhere; nullopt for a line
// with nothing to run (empty, only a comment, or a lone '-').
std::optional<ScriptLine> ParseScriptLine(const std::string& line);

}
