#include "tools/zorstudio/StudioSettings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "zorkit/platform/core/AtomicFileWriter.h"
#include "tools/common/Numbers.h"

namespace zorstudio {
namespace {
constexpr const char* kFileName = "zorstudio.conf";
constexpr const char* kDeviceKey = "device";
constexpr const char* kBaudKey = "baud";
constexpr const char* kTabKey = "layout.tab";
// Nothing sensible in a settings file is longer.
constexpr std::size_t kMaxLine = 4096;
// No screen is wider or taller.
constexpr std::uint32_t kMaxPixels = 16384;

using Settings = std::map<std::string, std::string>;

// Every key of the file; nothing when a line is too long to be one of ours.
std::optional<Settings> ReadSettings(const std::string& path)
{
    Settings settings;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.size() > kMaxLine)
            return std::nullopt;
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && line.find('\0') == std::string::npos)
            settings[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return settings;
}

bool WriteSettings(const Settings& settings, const std::string& path)
{
    std::error_code error;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, error);
    std::string text;
    for (const auto& [key, value] : settings)
        text += key + "=" + value + "\n";
    zorkit::AtomicFileWriter out;
    return out.Open(path.c_str()) && out.Write(text.data(), text.size()) && out.Commit();
}

// The layout's lengths, each with its key.
struct LengthKey {
    const char* key;
    int CLayoutSizes::*length;
};
constexpr LengthKey kLengths[] = {
    {"layout.listing", &CLayoutSizes::listingWidth}, {"layout.right", &CLayoutSizes::rightWidth},
    {"layout.registers", &CLayoutSizes::registerHeight}, {"layout.dock", &CLayoutSizes::dockHeight},
    {"layout.tall", &CLayoutSizes::tallHeight},
};

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
    const std::optional<Settings> settings = ReadSettings(path);
    if (!settings)
        return choice;
    if (const auto device = settings->find(kDeviceKey); device != settings->end())
        choice.device = device->second;
    if (const auto baud = settings->find(kBaudKey); baud != settings->end()) {
        const std::optional<std::uint32_t> rate = tools::ParseDecimal(baud->second, 1000000);
        if (rate && BaudIndex(int(*rate)) >= 0)
            choice.baud = int(*rate);
    }
    return choice;
}

bool SaveLineChoice(const CLineChoice& choice, const std::string& path)
{
    if (choice.device.find('\n') != std::string::npos || BaudIndex(choice.baud) < 0)
        return false;
    Settings settings = ReadSettings(path).value_or(Settings{});
    settings[kDeviceKey] = choice.device;
    settings[kBaudKey] = std::to_string(choice.baud);
    return WriteSettings(settings, path);
}

CLayoutSizes LoadLayoutSizes(const std::string& path)
{
    CLayoutSizes sizes;
    const std::optional<Settings> settings = ReadSettings(path);
    if (!settings)
        return sizes;
    for (const LengthKey& length : kLengths)
        if (const auto found = settings->find(length.key); found != settings->end())
            if (const auto pixels = tools::ParseDecimal(found->second, kMaxPixels))
                sizes.*length.length = int(*pixels);
    if (const auto tab = settings->find(kTabKey); tab != settings->end())
        for (const CPaneSlot& slot : PaneSlots())
            if (slot.region == Region::Dock && tab->second == slot.name)
                sizes.dockTab = slot.pane;
    return sizes;
}

bool SaveLayoutSizes(const CLayoutSizes& sizes, const std::string& path)
{
    Settings settings = ReadSettings(path).value_or(Settings{});
    for (const LengthKey& length : kLengths)
        settings[length.key] = std::to_string(sizes.*length.length);
    settings[kTabKey] = SlotOf(sizes.dockTab).name;
    return WriteSettings(settings, path);
}

}
