// A fresh directory under the system's temporary directory, removed with its contents.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class TempDir {
public:
    TempDir()
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() / ("zorkit-test-" + std::to_string(seed()));
        std::filesystem::create_directory(m_path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::string file = File(name);
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    static std::string Read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    int EntryCount() const
    {
        auto entries = std::filesystem::directory_iterator(m_path);
        return int(std::distance(begin(entries), end(entries)));
    }

private:
    std::filesystem::path m_path;
};
