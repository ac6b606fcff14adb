#include "tools/zorstudio/ProgramBuild.h"

#include "tools/common/CProgramBuild.h"
#include "tools/common/ShellText.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <sstream>

namespace zorstudio {
namespace {

constexpr const char* kAssembler = "sdas8051";
constexpr const char* kLinker = "sdld";

using tools::ReadWholeFile;
using tools::ShellQuoted;

// Runs `command` in `directory` with both output streams into `log`; true on exit status 0.
bool RunIn(const std::filesystem::path& directory, const std::string& command, const std::filesystem::path& log)
{
    const std::string line =
        "cd " + ShellQuoted(directory.string()) + " && " + command + " >" + ShellQuoted(log.string()) + " 2>&1 </dev/null";
    return std::system(line.c_str()) == 0;
}

}

std::optional<WORD> CBuildResult::AddressOfLine(int line) const
{
    for (const CLineAddress& entry : lines)
        if (entry.line == line)
            return entry.address;
    return std::nullopt;
}

std::optional<int> CBuildResult::LineOfAddress(WORD address) const
{
    // The entries are in address order within each area; the line whose code starts
    // nearest below the address and reaches it is the one.
    std::optional<int> found;
    int nearest = 0x10000;
    for (const CLineAddress& entry : lines) {
        int distance = int(address) - int(entry.address);
        if (distance >= 0 && distance < nearest) {
            nearest = distance;
            found = entry.line;
        }
    }
    // An instruction or data run of one line is a few bytes; farther away is no line's.
    constexpr int kLongestLine = 16;
    return nearest < kLongestLine ? found : std::nullopt;
}

std::vector<CAssemblerMessage> ParseAssemblerMessages(const std::string& output)
{
    std::vector<CAssemblerMessage> messages;
    for (const CBuildMessage& message : ParseBuildMessages(output))
        messages.push_back({message.file, message.line, message.text});
    return messages;
}

std::vector<CLineAddress> ParseListingAddresses(const std::string& listing)
{
    // "      000100 78 30            [12]    3 start:	mov r0,#0x30": address, code
    // bytes, cycles, source line. Lines without code bytes produce nothing.
    // The line number stands apart from the bytes; a run of data continued on the
    // next listing line has bytes and no number.
    static const std::regex coded(R"(^\s+([0-9A-Fa-f]{4,8})((?: [0-9A-Fa-f]{2})+)\s{2,}(?:\[\s*\d+\]\s+)?(\d+)\s)");
    std::vector<CLineAddress> lines;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, coded))
            lines.push_back({std::atoi(m[3].str().c_str()), WORD(std::stoul(m[1].str(), nullptr, 16))});
    }
    return lines;
}

CProgramBuild::CProgramBuild(const std::filesystem::path& parent)
{
    std::random_device seed;
    const std::filesystem::path base = parent.empty() ? std::filesystem::temp_directory_path() : parent;
    std::error_code error;
    do
        m_directory = base / ("zorstudio-build-" + std::to_string(seed()));
    while (!std::filesystem::create_directories(m_directory, error) && !error);
}

CProgramBuild::~CProgramBuild()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_directory, ignored);
}

CBuildResult CProgramBuild::Build(const std::string& source, const std::string& name,
                                  const std::filesystem::path& includeDirectory)
{
    CBuildResult result;
    std::filesystem::path file = std::filesystem::path(name).filename();
    if (file.empty() || file.extension().empty())
        file += ".asm";
    const std::string stem = file.stem().string();
    // Outputs of an earlier build must not pass for this one's.
    for (const char* extension : {".rel", ".lst", ".rst", ".ihx", ".sym", ".map"})
        std::filesystem::remove(m_directory / (stem + extension));
    {
        std::ofstream out(m_directory / file, std::ios::binary);
        out << source;
        if (!out.flush()) {
            result.messages.push_back({file.string(), 0, "cannot write the source to " + m_directory.string()});
            return result;
        }
    }
    const std::filesystem::path assembleLog = m_directory / "assemble.out";
    std::string assemble = std::string(kAssembler) + " -plosff ";
    if (!includeDirectory.empty())
        assemble += "-I" + ShellQuoted(std::filesystem::absolute(includeDirectory).string()) + " ";
    const bool assembled = RunIn(m_directory, assemble + ShellQuoted(file.string()), assembleLog);
    result.output = ReadWholeFile(assembleLog);
    bool linked = false;
    if (assembled && std::filesystem::exists(m_directory / (stem + ".rel"))) {
        const std::filesystem::path linkLog = m_directory / "link.out";
        linked = RunIn(m_directory,
                       std::string(kLinker) + " -n -u -i " + ShellQuoted(stem + ".ihx") + " " + ShellQuoted(stem + ".rel"),
                       linkLog);
        result.output += ReadWholeFile(linkLog);
    }
    result.messages = ParseAssemblerMessages(result.output);
    const bool linkerComplained = std::any_of(result.messages.begin(), result.messages.end(),
                                              [](const CAssemblerMessage& m) { return m.line == 0; });
    if (!assembled && result.messages.empty())
        result.messages.push_back({file.string(), 0, std::string(kAssembler) + " failed: " + result.output});
    if (assembled && !linked && !linkerComplained)
        result.messages.push_back({"", 0, std::string(kLinker) + " failed: " + result.output});
    if (!assembled || !linked || linkerComplained)
        return result;
    result.hexPath = (m_directory / (stem + ".ihx")).string();
    if (!result.hex.LoadFile(result.hexPath)) {
        result.messages.push_back({"", 0, result.hex.GetError()});
        return result;
    }
    result.lines = ParseListingAddresses(ReadWholeFile(m_directory / (stem + ".rst")));
    result.ok = true;
    return result;
}

}
