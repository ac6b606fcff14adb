// The top of every tool: whatever escapes the work ends as a plain message and exit
// status 1, never as an uncaught exception and an abort.
#pragma once

namespace tools {

int RunTool(const char* name, int (*body)(int argc, char** argv), int argc, char** argv);

}
