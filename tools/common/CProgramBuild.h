// Builds an 8051 program of C and assembly sources with sdcc, for the board's
// program area and with the debug information (.cdb) a source debugger reads.
//
// A project file lists the sources and the settings, one a line (# starts a comment):
//
//   source main.c
//   source delay.asm
//   code-loc 0100        # hexadecimal: where the program's code starts (default 0100)
//   xram-loc 4000        # where its external RAM variables start (default 4000)
//   model small          # small, medium or large (default small)
//   stack-auto no        # yes: every function reentrant, locals on the stack
//   vectors low          # low: also jump from the 8051's vectors (0003, 000B, ...) to
//                        # the program's interrupt handlers; none: leave them alone
//
//   CCProject project;
//   if (!project.Load("blink.zpj")) fail(project.Error());
//   CCBuildResult built = BuildCProgram(project, "build/blink");
//   if (built.ok) download(built.runs);  // built.cdbPath for the debugger
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/common/IntelHex.h"

struct CCProject {
    std::string name;                             // the program's files are NAME.ihx, NAME.cdb, ...
    std::vector<std::filesystem::path> sources;   // .c and .asm
    unsigned codeLocation = 0x0100;
    unsigned xramLocation = 0x4000;
    std::string model = "small";
    bool stackAuto = false;
    bool lowVectors = true;
    std::string error;

    // Reads a project file; its sources are relative to its folder. False with error set.
    bool Load(const std::filesystem::path& path);
    // Sets one "KEY VALUE" line; false with error set.
    bool Apply(const std::string& key, const std::string& value);
    // A program of one C file with the default settings.
    static CCProject OfSource(const std::filesystem::path& source);
};

// One message of the compiler, assembler or linker; line 0 when it has no line.
struct CBuildMessage {
    std::string file;
    int line = 0;
    std::string text;
};

struct CCBuildResult {
    bool ok = false;
    std::vector<CBuildMessage> messages;
    std::string output;                   // what the tools wrote, in order
    std::vector<CIntelHex::Run> runs;     // the program, with the vector jumps
    std::filesystem::path hexPath;        // NAME.ihx
    std::filesystem::path cdbPath;        // NAME.cdb
};

// Compiles and links into `directory` (made when missing).
CCBuildResult BuildCProgram(const CCProject& project, const std::filesystem::path& directory);

// "file.c:12: error 20: ..." and the linker's "?ASlink-..." lines.
std::vector<CBuildMessage> ParseBuildMessages(const std::string& output);
