#include "tools/common/OutputPath.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "tools/common/SystemReason.h"
#include "tools/common/Wording.h"

namespace tools {
namespace {

// Why `path` cannot be written, without the path, or nothing when it can.
std::optional<std::string> WriteRefusal(const std::string& path)
{
    std::error_code ignored;
    const bool existed = std::filesystem::exists(path, ignored);
    if (std::filesystem::is_directory(path, ignored))
        return Say("it is a directory");
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file)
        return SystemReason(errno);
    std::fclose(file);
    if (!existed)
        std::filesystem::remove(path, ignored);
    return std::nullopt;
}

}

std::optional<std::string> CheckOutputPath(const std::string& path)
{
    if (auto why = WriteRefusal(path))
        return Say("cannot write {1}: {2}", {path, *why});
    return std::nullopt;
}

std::optional<std::string> CheckOutputDirectory(const std::string& directory)
{
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error)
        return Say("cannot create the directory {1}: {2}", {directory, SystemReason(error)});
    if (!std::filesystem::is_directory(directory, error))
        return Say("cannot write into {1}: {2}", {directory, Say("it is not a directory")});
    if (auto why = WriteRefusal((std::filesystem::path(directory) / ".zorkit-write-test").string()))
        return Say("cannot write into {1}: {2}", {directory, *why});
    return std::nullopt;
}

}
