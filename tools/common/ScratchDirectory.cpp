#include "tools/common/ScratchDirectory.h"

#include <random>
#include <string>

namespace tools {

CScratchDirectory::CScratchDirectory(const std::string& prefix, const std::filesystem::path& parent)
{
    std::random_device seed;
    const std::filesystem::path base = parent.empty() ? std::filesystem::temp_directory_path() : parent;
    std::error_code error;
    // Another process may have taken a name first: draw again until one is new.
    do
        m_path = base / (prefix + std::to_string(seed()));
    while (!std::filesystem::create_directories(m_path, error) && !error);
}

CScratchDirectory::~CScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

}
