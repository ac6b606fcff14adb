// A student's submission and how it becomes a program: a .asm, .c, .hex or .ihx
// file, or a folder of one program's sources (a .zpj project file; or its .c and
// .asm files built together; or its .asm files assembled and linked). A folder on
// the command line with a project file, a C source or a single program file is one
// program; any other is a class, in which each program file and folder is one.
//
//   std::vector<CSubmission> all = FindSubmissions({"class/"}, error);
//   CBuiltProgram built = BuildSubmission(all[0], 0x0000);
//   if (!built.ok) show(built.output);
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/common/IntelHex.h"

namespace zorgrade {

struct CSubmission {
    std::string name; // the file's name without its extension, or the folder's
    std::filesystem::path path;
};

// The submissions the paths name, in command-line order and by name within a class;
// nothing, with `error`, when a path does not exist or is no program.
std::vector<CSubmission> FindSubmissions(const std::vector<std::string>& paths, std::string& error);

struct CBuiltProgram {
    bool ok = false;
    std::vector<CIntelHex::Run> runs;
    // What the assembler, compiler and linker wrote, or why nothing was built.
    std::string output;
};

// Builds the submission with sdcc's tools in a scratch folder of its own. C programs
// are placed at `start` unless their project file says otherwise.
CBuiltProgram BuildSubmission(const CSubmission& submission, std::uint16_t start);

}
