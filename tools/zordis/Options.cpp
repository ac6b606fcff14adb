#include "tools/zordis/Options.h"

#include <cstdio>

#include "tools/common/Numbers.h"

namespace {

const char kUsage[] =
    "Usage: zordis [--base ADDR] [--start ADDR] [--end ADDR] [--format hex|bin] FILE\n"
    "       zordis --asm [--entry ADDR]... [--base ADDR] [--start ADDR] [--end ADDR] [--format hex|bin] FILE\n"
    "List the 8051 instructions in FILE, one line per instruction: address, code bytes\n"
    "and instruction text. With --asm, write source for sdas8051 instead, which\n"
    "assembles and links back to the same bytes at the same addresses.\n"
    "\n"
    "FILE is Intel HEX when every line is a record starting with ':' or its name ends\n"
    "in .hex or .ihx (addresses come from the records; gaps are not listed), raw binary\n"
    "otherwise. FILE must be a regular file or a pipe: at most 64 KB of code (1 MB as\n"
    "Intel HEX text).\n"
    "\n"
    "  --base ADDR        load address of a raw binary file (default 0)\n"
    "  --start ADDR       list nothing below ADDR\n"
    "  --end ADDR         list nothing beyond ADDR (the last byte decoded)\n"
    "  --format hex|bin   read FILE as Intel HEX or raw binary, whatever it looks like\n"
    "  --asm              trace the code from the reset and interrupt vectors (0000,\n"
    "                     0003, 000B, 0013, 001B, 0023) through jumps, calls and\n"
    "                     branches; write reached bytes as instructions with labels\n"
    "                     (L1234) and register names, all other bytes as .db, and an\n"
    "                     .org for every run of bytes\n"
    "  --entry ADDR       with --asm, trace from ADDR too; may be given many times\n"
    "  --help             show this help and exit\n"
    "\n"
    "ADDR is hexadecimal, 0 to FFFF, written 1F00, 0x1F00 or 1F00H (as every address\n"
    "and data byte in the zorkit tools; counts and times are decimal).\n"
    "A last instruction that does not fit in the data is not listed; a warning names\n"
    "the bytes left over. With --asm, warnings name the places where the trace ends\n"
    "early: JMP @A+DPTR, RET used as a jump, A5, an instruction cut off by the end of\n"
    "the data or overlapping another.\n"
    "\n"
    "Exit status: 0 listed, 1 unreadable or malformed input, 2 bad command line.\n";

// Hexadecimal address: 1F00, 0x1F00 or 1F00H.
bool ParseAddress(const std::string& text, unsigned long& value)
{
    std::optional<std::uint32_t> parsed = tools::ParseHex(text, kCodeSpace - 1);
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

} // namespace

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "zordis: %s\nTry 'zordis --help'.\n", message.c_str());
    return 2;
}

std::string Hex4(unsigned long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%04lXH", value);
    return text;
}

int ParseOptions(int argc, char** argv, Options& options)
{
    struct AddressOption {
        const char* name;
        unsigned long Options::*value;
    };
    const AddressOption addressOptions[] = {
        {"--base", &Options::base}, {"--start", &Options::start}, {"--end", &Options::end}, {"--entry", nullptr}};

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--asm") {
            options.assembly = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            std::string name = arg;
            std::string value;
            bool hasValue = false;
            const std::size_t equals = arg.find('=');
            if (equals != std::string::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
                hasValue = true;
            }
            if (name == "--format") {
                if (!hasValue) {
                    if (i + 1 >= argc)
                        return UsageError("--format needs hex or bin");
                    value = argv[++i];
                }
                std::optional<ProgramFormat> format = ProgramFormatFromName(value);
                if (!format)
                    return UsageError("--format takes hex or bin, not '" + value + "'");
                options.format = *format;
                continue;
            }
            const AddressOption* option = nullptr;
            for (const AddressOption& candidate : addressOptions)
                if (name == candidate.name)
                    option = &candidate;
            if (!option)
                return UsageError("unknown option '" + arg + "'");
            if (!hasValue) {
                if (i + 1 >= argc)
                    return UsageError(name + " needs an address");
                value = argv[++i];
            }
            unsigned long address = 0;
            if (!ParseAddress(value, address))
                return UsageError("bad address '" + value + "' for " + name + " (hexadecimal, 0 to FFFF)");
            if (option->value)
                options.*(option->value) = address;
            else
                options.entries.push_back(address);
            if (option->value == &Options::base)
                options.hasBase = true;
            continue;
        }
        if (!options.file.empty())
            return UsageError("only one FILE, got '" + options.file + "' and '" + arg + "'");
        options.file = arg;
    }
    if (options.file.empty())
        return UsageError("no FILE given");
    if (!options.entries.empty() && !options.assembly)
        return UsageError("--entry needs --asm");
    if (options.start > options.end)
        return UsageError("--start " + Hex4(options.start) + " lies beyond --end " + Hex4(options.end));
    return -1;
}

