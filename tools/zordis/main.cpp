// zordis: lists 8051 machine code from a raw binary or Intel HEX file.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "zorkit/disasm/Disassemble.h"
#include "tools/common/IntelHex.h"
#include "tools/zordis/AsmListing.h"
#include "tools/zordis/Options.h"

namespace {

struct Block {
    unsigned long address;
    std::vector<unsigned char> bytes;
};

int InputError(const std::string& message)
{
    std::fprintf(stderr, "zordis: %s\n", message.c_str());
    return 1;
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
    if (options.assembly) {
        CCodeImage image;
        for (const Block& block : blocks)
            image.Add(block.address, block.bytes, options.start, options.end);
        return ListAssembly(image, options.entries, options.file + ", traced by zordis --asm");
    }

    std::string out;
    for (const Block& block : blocks)
        ListBlock(block, options, out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return InputError(std::string("cannot write the listing: ") + std::strerror(errno));
    return 0;
}
