// Loads arbitrary bytes as a text file: the lines must be those of the byte-by-byte
// reference, and saving and loading them again must give them back unchanged.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "tests/editor/LoadReference.h"
#include "zorkit/editor/TextBuf.h"

namespace {

const std::string& ScratchFile(const char* role)
{
    static const std::string stem = [] {
        std::random_device seed;
        return (std::filesystem::temp_directory_path() / ("zorkit-fuzz-" + std::to_string(seed()))).string();
    }();
    static std::string names[2] = {stem + ".in", stem + ".out"};
    return role[0] == 'i' ? names[0] : names[1];
}

std::vector<std::string> LinesOf(const CTextBuf& buffer)
{
    std::vector<std::string> lines;
    for (int line = 0; line < buffer.GetLineCount(); ++line)
        lines.emplace_back(buffer.GetLineChars(line), std::size_t(buffer.GetLineLength(line)));
    return lines;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& in = ScratchFile("in");
    const std::string& out = ScratchFile("out");
    std::ofstream(in, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), std::streamsize(size));

    CTextBuf buffer;
    if (!buffer.LoadFromFile(in.c_str()))
        __builtin_trap();
    std::vector<std::string> lines = LinesOf(buffer);
    if (lines != ReferenceLines(std::string(reinterpret_cast<const char*>(data), size)))
        __builtin_trap();

    if (!buffer.SaveToFile(out.c_str(), TRUE))
        __builtin_trap();
    CTextBuf again;
    if (!again.LoadFromFile(out.c_str()) || LinesOf(again) != lines)
        __builtin_trap();
    std::filesystem::remove(in);
    std::filesystem::remove(out);
    return 0;
}
