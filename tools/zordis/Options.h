// Command line of zordis.
#pragma once

#include <string>
#include <vector>

#include "tools/common/ProgramFile.h"

// Addresses of the 8051 code space: 0 to FFFF.
constexpr unsigned long kCodeSpace = CProgramFile::kCodeSpace;

// What to list; addresses are in the 8051 code space.
struct Options {
    unsigned long base = 0;
    bool hasBase = false;
    unsigned long start = 0;
    unsigned long end = kCodeSpace - 1;
    // --asm: assembler source instead of the listing, traced also from entries.
    bool assembly = false;
    std::vector<unsigned long> entries;
    ProgramFormat format = ProgramFormat::Detect;
    std::string file;
};

// Parses the command line. Returns -1 when the listing can go ahead, otherwise the
// exit status: 0 after --help, 2 after a message about a bad command line.
int ParseOptions(int argc, char** argv, Options& options);

// Reports a bad command line on stderr and returns exit status 2.
int UsageError(const std::string& message);

// The address as four hexadecimal digits and H, as the listing writes addresses.
std::string Hex4(unsigned long value);
