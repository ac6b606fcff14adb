#include "tools/zordis/Options.h"

#include <cstdio>

#include "tools/common/ExitStatus.h"
#include "tools/common/Numbers.h"
#include "tools/common/OptionTable.h"

namespace zordis {

namespace {

using Why = std::optional<std::string>;

// A hexadecimal address of the code space: 1F00, 0x1F00 or 1F00H.
tools::COptionTable::Take Address(const char* name, std::function<void(unsigned long)> take)
{
    return [name, take](const std::string& text) -> Why {
        std::optional<std::uint32_t> address = tools::ParseHex(text, kCodeSpace - 1);
        if (!address)
            return "bad address '" + text + "' for " + name + " (hexadecimal, 0 to FFFF)";
        take(*address);
        return std::nullopt;
    };
}

} // namespace

int UsageError(const std::string& message) { return tools::UsageError("zordis", message); }

std::string Hex4(unsigned long value)
{
    return tools::Hex(std::uint32_t(value), 4) + "H";
}

std::optional<int> ParseCommandLine(const std::vector<std::string>& arguments, Options& options)
{
    tools::COptionTable table("zordis",
        "Usage: zordis [--base ADDR] [--start ADDR] [--end ADDR] [--format hex|bin] FILE\n"
        "       zordis --asm [--entry ADDR]... [--base ADDR] [--start ADDR] [--end ADDR] [--format hex|bin] FILE",
        "List the 8051 instructions in FILE, one line per instruction: address, code bytes\n"
        "and instruction text. With --asm, write source for sdas8051 instead, which\n"
        "assembles and links back to the same bytes at the same addresses.\n"
        "\n"
        "FILE is Intel HEX when every line is a record starting with ':' or its name ends\n"
        "in .hex or .ihx (addresses come from the records; gaps are not listed), raw binary\n"
        "otherwise. FILE must be a regular file or a pipe: at most 64 KB of code (1 MB as\n"
        "Intel HEX text).");
    table.Value("--base", "ADDR", "load address of a raw binary file (default 0)", Address("--base", [&](unsigned long a) {
        options.base = a;
        options.hasBase = true;
    }));
    table.Value("--start", "ADDR", "list nothing below ADDR", Address("--start", [&](unsigned long a) { options.start = a; }));
    table.Value("--end", "ADDR", "list nothing beyond ADDR (the last byte decoded)",
        Address("--end", [&](unsigned long a) { options.end = a; }));
    table.Value("--format", "hex|bin", "read FILE as Intel HEX or raw binary, whatever it\nlooks like", [&](const std::string& name) -> Why {
        std::optional<ProgramFormat> format = ProgramFormatFromName(name);
        if (!format)
            return "--format takes hex or bin, not '" + name + "'";
        options.format = *format;
        return std::nullopt;
    });
    table.Flag("--asm",
        "trace the code from the reset and interrupt vectors\n(0000, 0003, 000B, 0013, 001B, 0023) through jumps,\n"
        "calls and branches; write reached bytes as\ninstructions with labels (L1234) and register\n"
        "names, all other bytes as .db, and an .org for\nevery run of bytes",
        options.assembly);
    table.Repeated("--entry", "ADDR", "with --asm, trace from ADDR too; may be given many\ntimes",
        Address("--entry", [&](unsigned long a) { options.entries.push_back(a); }));
    table.Footer("ADDR is hexadecimal, 0 to FFFF, written 1F00, 0x1F00 or 1F00H (as every address\n"
    "and data byte in the zorkit tools; counts and times are decimal).\n"
    "A last instruction that does not fit in the data is not listed; a warning names\n"
    "the bytes left over. With --asm, warnings name the places where the trace ends\n"
    "early: JMP @A+DPTR, RET used as a jump, A5, an instruction cut off by the end of\n"
    "the data or overlapping another.\n"
    "\n"
    "Exit status: 0 listed, 1 unreadable or malformed input, 2 bad command line.\n");
    tools::CCommandLine line = table.Parse(arguments);
    if (std::optional<int> status = table.EarlyExit(line))
        return status;
    if (line.words.empty())
        return UsageError("no FILE given");
    if (line.words.size() > 1)
        return UsageError("only one FILE, got '" + line.words[0] + "' and '" + line.words[1] + "'");
    options.file = line.words[0];
    if (!options.entries.empty() && !options.assembly)
        return UsageError("--entry needs --asm");
    if (options.start > options.end)
        return UsageError("--start " + Hex4(options.start) + " lies beyond --end " + Hex4(options.end));
    return std::nullopt;
}

}
