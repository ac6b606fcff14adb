#include "tools/common/ProgramFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "tools/common/Numbers.h"
#include "tools/common/SystemReason.h"
#include "tools/common/Wording.h"

namespace {

bool EndsWithHexName(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string suffix = path.substr(path.size() - 4);
    for (char& c : suffix)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return suffix == ".hex" || suffix == ".ihx";
}

}

std::optional<ProgramFormat> ProgramFormatFromName(const std::string& name)
{
    if (name == "hex")
        return ProgramFormat::Hex;
    if (name == "bin")
        return ProgramFormat::Binary;
    return std::nullopt;
}

bool LooksLikeIntelHex(const std::string& text)
{
    bool sawRecord = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        std::size_t last = line.find_last_not_of(" \t\r");
        if (last != std::string::npos) {
            if (line[0] != ':' || line.find_first_not_of("0123456789abcdefABCDEF", 1) <= last)
                return false;
            sawRecord = true;
        }
        start = end + 1;
    }
    return sawRecord;
}

bool CProgramFile::Fail(const std::string& what)
{
    m_error = what;
    return false;
}

bool CProgramFile::ReadLimited(const std::string& path, std::string& content)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return Fail(path + ": " + tools::Say("cannot open: {1}", {tools::SystemReason(errno)}));
    if (S_ISDIR(info.st_mode))
        return Fail(path + ": " + tools::Say("is a directory, not a program file"));
    if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode))
        return Fail(path + ": " + tools::Say("is not a regular file or a pipe; a program is read from a file"));
    if (S_ISREG(info.st_mode) && std::uint64_t(info.st_size) > kMaxHexText)
        return Fail(path + ": " + tools::Say("{1} bytes is far too big for a program (64 KB of code)", {std::to_string(info.st_size)}));
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Fail(path + ": " + tools::Say("cannot open: {1}", {tools::SystemReason(errno)}));
    // One byte past the limit tells a pipe that says too much.
    content.resize(kMaxHexText + 1);
    file.read(content.data(), std::streamsize(content.size()));
    if (file.bad())
        return Fail(path + ": " + tools::Say("cannot read: {1}", {tools::SystemReason(errno)}));
    content.resize(std::size_t(file.gcount()));
    if (content.size() > kMaxHexText)
        return Fail(path + ": " + tools::Say("more than {1} bytes is far too big for a program (64 KB of code)", {std::to_string(kMaxHexText)}));
    return true;
}

bool CProgramFile::Load(const std::string& path, ProgramFormat format, std::uint32_t binaryBase)
{
    m_runs.clear();
    m_error.clear();
    std::string content;
    if (!ReadLimited(path, content))
        return false;
    m_isHex = format == ProgramFormat::Hex ||
              (format == ProgramFormat::Detect && (EndsWithHexName(path) || LooksLikeIntelHex(content)));
    if (m_isHex) {
        CIntelHex hex;
        if (!hex.Parse(content, path))
            return Fail(hex.GetError());
        for (const CIntelHex::Run& run : hex.GetRuns()) {
            if (run.address + run.bytes.size() > kCodeSpace)
                return Fail(path + ": " + tools::Say("data at {1}H lies beyond the 64 KB code space",
                                                     {tools::Hex(std::uint32_t(std::max<unsigned long>(run.address, kCodeSpace)), 4)}));
            m_runs.push_back(run);
        }
        return true;
    }
    if (binaryBase + content.size() > kCodeSpace)
        return Fail(path + ": " + tools::Say("{1} bytes at {2}H run past the 64 KB code space",
                                             {std::to_string(content.size()), tools::Hex(std::uint32_t(binaryBase), 4)}));
    if (!content.empty())
        m_runs.push_back({binaryBase, std::vector<std::uint8_t>(content.begin(), content.end())});
    return true;
}
