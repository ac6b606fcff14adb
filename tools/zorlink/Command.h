// The commands zorlink runs, one table for the command line and for scripts.
#pragma once

#include <string>
#include <vector>

#include "tools/zorlink/Session.h"

namespace zorlink {

using Arguments = std::vector<std::string>;

// A command's outcome: ok, or the reason it failed in plain words.
struct CommandResult {
    bool ok;
    std::string reason;
    bool usage = false; // the arguments were wrong, not the board
    static CommandResult Success() { return {true, {}}; }
    static CommandResult Failure(std::string why) { return {false, std::move(why)}; }
    static CommandResult Usage(std::string why) { return {false, std::move(why), true}; }
};

struct CommandEntry {
    const char* name;
    const char* synopsis;
    const char* help;
    CommandResult (*run)(CLinkSession& session, const Arguments& args);
};

const std::vector<CommandEntry>& Commands();
const CommandEntry* FindCommand(const std::string& name);

}
