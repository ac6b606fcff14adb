// The commands of a C debugging session (--debug-info): break at a line or a
// function, run, continue, next, step, finish, where, print, set.
#pragma once

#include <memory>
#include <string>

#include "tools/zorlink/Command.h"

namespace zorlink {

// Reads PROGRAM.cdb (or the .cdb beside PROGRAM.ihx) and the program's code; null
// with `error` set when it cannot.
std::unique_ptr<CSourceSession, void (*)(CSourceSession*)> OpenSourceSession(const std::string& path, std::string& error);

// The source command NAME, when a session with debug information has one.
const CommandEntry* FindSourceCommand(const CLinkSession& session, const std::string& name);
const std::vector<CommandEntry>& SourceCommands();

}
