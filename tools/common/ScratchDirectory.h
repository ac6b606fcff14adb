// A fresh directory of one's own under the system's temporary directory (or another
// folder), removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace tools {

class CScratchDirectory {
public:
    explicit CScratchDirectory(const std::string& prefix, const std::filesystem::path& parent = {});
    ~CScratchDirectory();
    CScratchDirectory(const CScratchDirectory&) = delete;
    CScratchDirectory& operator=(const CScratchDirectory&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}
