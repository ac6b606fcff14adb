// Builds an 8051 program with Debian's sdcc tools, for the board's program area: an
// assembly source (sdas8051 and sdld, nothing added), a C source, or a project of
// several C and assembly sources (sdcc with --debug, so that a source debugger can
// read the .cdb it writes).
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
//   CProgramProject project;
//   if (!project.Open("blink.zpj")) fail(project.error);   // or "blink.c", "sort.asm"
//   CProgramBuildResult built = BuildProgram(project, "build/blink");
//   for (const CBuildMessage& m : built.messages) show(m.file, m.line, m.text);
//   if (built.ok) download(built.hex);   // built.cdbPath for the C debugger
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/common/IntelHex.h"

struct CProgramProject {
    std::string name;                             // the program's files are NAME.ihx, NAME.cdb, ...
    std::vector<std::filesystem::path> sources;   // .c and .asm
    // Where #include and .include look first: the folder of the project (or the source).
    std::vector<std::filesystem::path> includeDirectories;
    unsigned codeLocation = 0x0100;
    unsigned xramLocation = 0x4000;
    std::string model = "small";
    bool stackAuto = false;
    bool lowVectors = true;
    std::string error;

    // Reads a project file; its sources are relative to its folder. False with error set.
    bool Load(const std::filesystem::path& path);
    // A project file (.zpj) or a single .c or .asm source; false with error set.
    bool Open(const std::filesystem::path& path);
    // Sets one "KEY VALUE" line; false with error set.
    bool Apply(const std::string& key, const std::string& value);
    // A program of one source with the default settings.
    static CProgramProject OfSource(const std::filesystem::path& source);
    // Only assembly sources: linked as they are, with no C start-up code.
    bool IsAssemblyOnly() const;
};

// The extension of project files.
inline constexpr const char* kProjectExtension = ".zpj";

// One message of the compiler, assembler or linker; line 0 when it has no line.
struct CBuildMessage {
    std::string file;
    int line = 0;
    std::string text;
};

// An assembly source line that produced code, and the address of its first byte.
struct CSourceLine {
    std::filesystem::path file;
    int line = 0;
    std::uint16_t address = 0;
};

struct CProgramBuildResult {
    bool ok = false;
    std::vector<CBuildMessage> messages;
    std::string output;                   // what the tools wrote, in order
    std::vector<std::filesystem::path> sources;  // the project's, as absolute paths
    CIntelHex hex;                        // the program, with the vector jumps
    std::uint16_t entry = 0;              // where it starts: the code location, above the jumps
    std::filesystem::path hexPath;        // NAME.ihx
    std::filesystem::path cdbPath;        // NAME.cdb; empty for an assembly-only program
    // The lines of the assembly sources that produced code (the C lines are in the .cdb).
    std::vector<CSourceLine> lines;

    // The address of the first code byte of an assembly source's line.
    std::optional<std::uint16_t> AddressOfLine(const std::filesystem::path& file, int line) const;
    // The assembly line whose code holds address, when one does.
    const CSourceLine* LineAt(std::uint16_t address) const;
    std::size_t CodeBytes() const;
};

// Builds into `directory` (made when missing); outputs of an earlier build there are
// removed first, so none passes for this one's.
CProgramBuildResult BuildProgram(const CProgramProject& project, const std::filesystem::path& directory);

// "file.c:12: error 20: ..." and the linker's "?ASlink-..." lines.
std::vector<CBuildMessage> ParseBuildMessages(const std::string& output);

// A linked listing's (.rst) lines that produced code: line numbers and addresses.
struct CListingAddress {
    int line;
    std::uint16_t address;
};
std::vector<CListingAddress> ParseListingAddresses(const std::string& listing);
