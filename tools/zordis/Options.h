// Command line of zordis.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/common/ProgramFile.h"

namespace zordis {

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

// Reads the arguments after the program's name into `options`. The exit status when
// zordis ends here (its help shown, or a usage error reported); nothing when the
// listing can go ahead.
std::optional<int> ParseCommandLine(const std::vector<std::string>& arguments, Options& options);

// Reports a bad command line on stderr and returns exit status 2.
int UsageError(const std::string& message);

// The address as four hexadecimal digits and H, as the listing writes addresses.
std::string Hex4(unsigned long value);

}
