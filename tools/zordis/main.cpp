// zordis: lists 8051 machine code from a raw binary or Intel HEX file.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "zorkit/disasm/Disassemble.h"
#include "tools/common/Numbers.h"
#include "tools/common/ProgramFile.h"
#include "tools/common/ToolMain.h"
#include "tools/zordis/AsmListing.h"
#include "tools/zordis/Options.h"

namespace zordis {

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

int LoadBlocks(const Options& options, std::vector<Block>& blocks)
{
    CProgramFile program;
    if (!program.Load(options.file, options.format, std::uint32_t(options.base)))
        return InputError(program.GetError());
    if (program.IsHex() && options.hasBase)
        return UsageError("--base applies to raw binary files; " + options.file + " is Intel HEX");
    for (const CIntelHex::Run& run : program.GetRuns())
        blocks.push_back({run.address, run.bytes});
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
        for (int i = 0; i < left; ++i)
            bytes += " " + tools::Hex(code[dis.GetOffset() + i], 2);
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
        std::fflush(stdout);
        std::fprintf(stderr, "zordis: warning: %d byte%s left over at %s, not a whole instruction:%s\n",
            left, left == 1 ? "" : "s", Hex4(first + dis.GetOffset()).c_str(), bytes.c_str());
    }
}

int List(int argc, char** argv)
{
    Options options;
    if (std::optional<int> status = ParseCommandLine({argv + 1, argv + argc}, options))
        return *status;
    std::vector<Block> blocks;
    int status = LoadBlocks(options, blocks);
    if (status >= 0)
        return status;
    if (options.assembly) {
        tools::CCodeImage image;
        for (const Block& block : blocks)
            image.Put(block.address, block.bytes, options.start, options.end);
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

} // namespace

}

int main(int argc, char** argv) { return tools::RunTool("zordis", zordis::List, argc, argv); }
