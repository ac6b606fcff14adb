#include "tools/zorstudio/StudioSettings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "zorkit/platform/core/AtomicFileWriter.h"
#include "tools/common/Numbers.h"

namespace zorstudio {
namespace {
constexpr const char* kFileName = "zorstudio.conf";
constexpr const char* kDeviceKey = "device";
constexpr const char* kBaudKey = "baud";
// Nothing sensible in a settings file is longer.
constexpr std::size_t kMaxLine = 4096;
}

std::string SettingsPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as XDG requires.
    if (config && config[0] == '/')
        base = config;
    else if (const char* home = std::getenv("HOME"); home && home[0])
        base = std::filesystem::path(home) / ".config";
    else
        return kFileName;
    return (base / "zorkit" / kFileName).string();
}

CLineChoice LoadLineChoice(const std::string& path)
{
    CLineChoice choice;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.size() > kMaxLine)
            return CLineChoice{};
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == kDeviceKey && value.find('\0') == std::string::npos)
            choice.device = value;
        else if (key == kBaudKey) {
            const std::optional<std::uint32_t> baud = tools::ParseDecimal(value, 1000000);
            if (baud && BaudIndex(int(*baud)) >= 0)
                choice.baud = int(*baud);
        }
    }
    return choice;
}

bool SaveLineChoice(const CLineChoice& choice, const std::string& path)
{
    if (choice.device.find('\n') != std::string::npos || BaudIndex(choice.baud) < 0)
        return false;
    std::error_code error;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, error);
    const std::string text = std::string(kDeviceKey) + "=" + choice.device + "\n" + kBaudKey + "=" +
                             std::to_string(choice.baud) + "\n";
    zorkit::AtomicFileWriter out;
    return out.Open(path.c_str()) && out.Write(text.data(), text.size()) && out.Commit();
}

}
