#include "tools/common/OutputPath.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tools {

std::optional<std::string> CheckOutputPath(const std::string& path)
{
    std::error_code ignored;
    const bool existed = std::filesystem::exists(path, ignored);
    if (std::filesystem::is_directory(path, ignored))
        return "cannot write " + path + ": it is a directory";
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file)
        return "cannot write " + path + ": " + std::strerror(errno);
    std::fclose(file);
    if (!existed)
        std::filesystem::remove(path, ignored);
    return std::nullopt;
}

std::optional<std::string> CheckOutputDirectory(const std::string& directory)
{
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error)
        return "cannot create the directory " + directory + ": " + error.message();
    if (!std::filesystem::is_directory(directory, error))
        return "cannot write into " + directory + ": it is not a directory";
    if (auto why = CheckOutputPath((std::filesystem::path(directory) / ".zorkit-write-test").string()))
        return "cannot write into " + directory + ": " + why->substr(why->rfind(": ") + 2);
    return std::nullopt;
}

}
