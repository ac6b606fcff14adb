#include "tools/zorstudio/StudioSettings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

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

// In the file's order, so that a save changes only the lines it is about.
using Settings = std::vector<std::pair<std::string, std::string>>;

const std::string* Find(const Settings& settings, const std::string& key)
{
    for (const auto& [name, value] : settings)
        if (name == key)
            return &value;
    return nullptr;
}

void Set(Settings& settings, const std::string& key, std::string value)
{
    for (auto& [name, old] : settings)
        if (name == key) {
            old = std::move(value);
            return;
        }
    settings.emplace_back(key, std::move(value));
}

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
            Set(settings, line.substr(0, equals), line.substr(equals + 1));
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
    if (const std::string* device = Find(*settings, kDeviceKey))
        choice.device = *device;
    if (const std::string* baud = Find(*settings, kBaudKey)) {
        const std::optional<std::uint32_t> rate = tools::ParseDecimal(*baud, 1000000);
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
    Set(settings, kDeviceKey, choice.device);
    Set(settings, kBaudKey, std::to_string(choice.baud));
    return WriteSettings(settings, path);
}

CLayoutSizes LoadLayoutSizes(const std::string& path)
{
    CLayoutSizes sizes;
    const std::optional<Settings> settings = ReadSettings(path);
    if (!settings)
        return sizes;
    for (const LengthKey& length : kLengths)
        if (const std::string* found = Find(*settings, length.key))
            if (const auto pixels = tools::ParseDecimal(*found, kMaxPixels))
                sizes.*length.length = int(*pixels);
    if (const std::string* tab = Find(*settings, kTabKey))
        for (const CPaneSlot& slot : PaneSlots())
            if (slot.region == Region::Dock && *tab == slot.name)
                sizes.dockTab = slot.pane;
    return sizes;
}

bool SaveLayoutSizes(const CLayoutSizes& sizes, const std::string& path)
{
    Settings settings = ReadSettings(path).value_or(Settings{});
    for (const LengthKey& length : kLengths)
        Set(settings, length.key, std::to_string(sizes.*length.length));
    Set(settings, kTabKey, SlotOf(sizes.dockTab).name);
    return WriteSettings(settings, path);
}

}
