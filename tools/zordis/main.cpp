// zordis: lists 8051 machine code from a raw binary or Intel HEX file.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "disasm/Disassemble.h"
#include "tools/common/IntelHex.h"

namespace {

const char kUsage[] =
    "Usage: zordis [--base ADDR] [--start ADDR] [--end ADDR] FILE\n"
    "List the 8051 instructions in FILE, one line per instruction: address, code bytes\n"
    "and instruction text.\n"
    "\n"
    "FILE is Intel HEX when its name ends in .hex or .ihx (addresses come from the\n"
    "records; gaps are not listed), raw binary otherwise.\n"
    "\n"
    "  --base ADDR   load address of a raw binary file (default 0)\n"
    "  --start ADDR  list nothing below ADDR\n"
    "  --end ADDR    list nothing beyond ADDR (the last byte decoded)\n"
    "  --help        show this help and exit\n"
    "\n"
    "ADDR is hexadecimal, 0 to FFFF, written 1F00, 0x1F00 or 1F00H.\n"
    "A last instruction that does not fit in the data is not listed; a warning names\n"
    "the bytes left over.\n"
    "\n"
    "Exit status: 0 listed, 1 unreadable or malformed input, 2 bad command line.\n";

constexpr unsigned long kCodeSpace = 0x10000;

struct Options {
    unsigned long base = 0;
    bool hasBase = false;
    unsigned long start = 0;
    unsigned long end = kCodeSpace - 1;
    std::string file;
};

struct Block {
    unsigned long address;
    std::vector<unsigned char> bytes;
};

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "zordis: %s\nTry 'zordis --help'.\n", message.c_str());
    return 2;
}

int InputError(const std::string& message)
{
    std::fprintf(stderr, "zordis: %s\n", message.c_str());
    return 1;
}

std::string Hex4(unsigned long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04lXH", value);
    return text;
}

// Hexadecimal address with an optional 0x prefix or H suffix.
bool ParseAddress(const std::string& text, unsigned long& value)
{
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.erase(0, 2);
    else if (digits.size() > 1 && (digits.back() == 'H' || digits.back() == 'h'))
        digits.pop_back();
    if (digits.empty() || digits.size() > 4 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    value = std::stoul(digits, nullptr, 16);
    return true;
}

bool EndsWith(const std::string& name, const char* suffix)
{
    const std::size_t n = std::strlen(suffix);
    if (name.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char c = name[name.size() - n + i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

// Returns -1 when the options are good, otherwise the exit status.
int ParseOptions(int argc, char** argv, Options& options)
{
    struct AddressOption {
        const char* name;
        unsigned long Options::*value;
    };
    const AddressOption addressOptions[] = {
        {"--base", &Options::base}, {"--start", &Options::start}, {"--end", &Options::end}};

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
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
            if (!ParseAddress(value, options.*(option->value)))
                return UsageError("bad address '" + value + "' for " + name + " (hexadecimal, 0 to FFFF)");
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
    if (options.start > options.end)
        return UsageError("--start " + Hex4(options.start) + " lies beyond --end " + Hex4(options.end));
    return -1;
}

int LoadBlocks(const Options& options, std::vector<Block>& blocks)
{
    const bool isHex = EndsWith(options.file, ".hex") || EndsWith(options.file, ".ihx");
    if (isHex) {
        if (options.hasBase)
            return UsageError("--base applies to raw binary files; " + options.file + " is Intel HEX");
        CIntelHex hex;
        if (!hex.LoadFile(options.file))
            return InputError(hex.GetError());
        for (const CIntelHex::Run& run : hex.GetRuns()) {
            if (run.address + run.bytes.size() > kCodeSpace)
                return InputError(options.file + ": data at " + Hex4(std::max<unsigned long>(run.address, kCodeSpace))
                        + " lies beyond the 64 KB code space");
            blocks.push_back({run.address, run.bytes});
        }
        return -1;
    }

    std::ifstream file(options.file, std::ios::binary);
    if (!file)
        return InputError(options.file + ": cannot open: " + std::strerror(errno));
    Block block{options.base, {}};
    char chunk[1 << 16];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
        block.bytes.insert(block.bytes.end(), chunk, chunk + file.gcount());
    if (file.bad())
        return InputError(options.file + ": cannot read: " + std::strerror(errno));
    if (options.base + block.bytes.size() > kCodeSpace)
        return InputError(options.file + ": " + std::to_string(block.bytes.size()) + " bytes at "
                + Hex4(options.base) + " run past the 64 KB code space");
    if (!block.bytes.empty())
        blocks.push_back(std::move(block));
    return -1;
}

// Decodes the part of block inside [start, end] and appends its lines to out.
void ListBlock(const Block& block, const Options& options, std::string& out)
{
    const unsigned long first = std::max(block.address, options.start);
    const unsigned long last = std::min(block.address + block.bytes.size() - 1, options.end);
    if (first > last)
        return;
    unsigned char* code = const_cast<unsigned char*>(block.bytes.data()) + (first - block.address);
    const int length = int(last - first + 1);

    CDisassemble dis;
    dis.initaddr(code, nullptr, int(first), length);
    for (CString text = dis.disamble(0); !text.IsEmpty(); text = dis.disamble(0)) {
        out += dis.robotcd(0).str();
        out += text.str();
        out += '\n';
        if (out.size() >= (1 << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    const int left = length - dis.GetOffset();
    if (left > 0) {
        std::string bytes;
        for (int i = 0; i < left; ++i) {
            char text[4];
            std::snprintf(text, sizeof text, " %02X", code[dis.GetOffset() + i]);
            bytes += text;
        }
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
        std::fflush(stdout);
        std::fprintf(stderr, "zordis: warning: %d byte%s left over at %s, not a whole instruction:%s\n",
            left, left == 1 ? "" : "s", Hex4(first + dis.GetOffset()).c_str(), bytes.c_str());
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    int status = ParseOptions(argc, argv, options);
    if (status >= 0)
        return status;
    std::vector<Block> blocks;
    status = LoadBlocks(options, blocks);
    if (status >= 0)
        return status;

    std::string out;
    for (const Block& block : blocks)
        ListBlock(block, options, out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return InputError(std::string("cannot write the listing: ") + std::strerror(errno));
    return 0;
}
