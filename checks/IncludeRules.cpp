#include "checks/IncludeRules.h"

#include <fstream>
#include <map>
#include <regex>
#include <set>

namespace zorkit::structure {
namespace {

const std::vector<std::string> kPlatformLayers{"core", "serial", "gdi", "process", "ui", "sdl"};
const std::vector<std::string> kSubsystems{"link", "disasm", "graph", "editor", "grid", "dialogs"};

// What each library layer may include besides itself.
const std::map<std::string, std::set<std::string>> kAllowed{
    {"platform/core", {}},
    {"platform/serial", {"platform/core"}},
    {"platform/gdi", {"platform/core"}},
    {"platform/process", {"platform/core"}},
    {"platform/ui", {"platform/core", "platform/gdi"}},
    {"platform/sdl", {"platform/core", "platform/gdi", "platform/ui"}},
};
// The platform layers each subsystem links, with what those stand on.
const std::set<std::string> kWindowPlatform{"platform/core", "platform/gdi", "platform/ui"};
const std::map<std::string, std::set<std::string>> kPlatformForSubsystem{
    {"link", {"platform/core", "platform/serial", "platform/gdi", "platform/ui"}},
    {"disasm", {"platform/core"}},
    {"graph", kWindowPlatform},
    {"editor", kWindowPlatform},
    {"grid", kWindowPlatform},
    {"dialogs", kWindowPlatform},
};

// The one module header below the subsystems: the resource ids they load strings by.
const std::string kResourceIds = "module/ResourceIds.h";

const std::set<std::string> kOperatingSystemHeaders{"termios.h", "cairo.h", "cairo-pdf.h", "SDL.h",
    "SDL2/SDL.h", "ft2build.h", "fontconfig/fontconfig.h", "sys/eventfd.h", "pty.h", "iconv.h"};

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsPlatform(const std::string& layer) { return StartsWith(layer, "platform/"); }

bool IsSubsystem(const std::string& layer)
{
    for (const std::string& s : kSubsystems)
        if (layer == s)
            return true;
    return false;
}

bool IsLibrary(const std::string& layer) { return IsPlatform(layer) || IsSubsystem(layer) || layer == "module"; }

bool IsInternal(const std::string& path) { return path.find("/internal/") != std::string::npos; }

// "zorlink" for "tools/zorlink/main.cpp".
std::string ToolOf(const std::string& path)
{
    const std::size_t start = path.find('/') + 1;
    return path.substr(start, path.find('/', start) - start);
}

int PlatformRank(const std::string& layer)
{
    for (size_t i = 0; i < kPlatformLayers.size(); ++i)
        if (layer == "platform/" + kPlatformLayers[i])
            return static_cast<int>(i);
    return -1;
}

bool IsHeader(const std::string& path) { return path.size() > 2 && path.compare(path.size() - 2, 2, ".h") == 0; }

std::optional<std::string> LibraryRule(const std::string& from, const std::string& layer, const std::string& target,
                                       const std::string& header)
{
    // The installed headers leave internal/ behind: a public header that needs it breaks every host.
    if (IsHeader(from) && !IsInternal(from) && IsInternal(header))
        return "a public header must not include internal/ headers (hosts do not get them): include it from the .cpp";
    if (target == layer)
        return std::nullopt;
    if (IsInternal(header) && !(IsPlatform(layer) && IsPlatform(target)))
        return "the internal headers of " + target + " are its own";
    if (IsPlatform(layer)) {
        if (kAllowed.at(layer).count(target))
            return std::nullopt;
        if (!IsPlatform(target))
            return "the platform layer never reaches up into the library (" + target + ")";
        return layer + " may not use " + target + (PlatformRank(target) > PlatformRank(layer) ? ", a layer above it" : "");
    }
    if (IsSubsystem(layer)) {
        if (kPlatformForSubsystem.at(layer).count(target))
            return std::nullopt;
        if (header == kResourceIds)
            return std::nullopt;
        if (IsSubsystem(target))
            return "subsystems never include each other (" + layer + " -> " + target + "); the host wires them";
        return layer + " may not use " + target;
    }
    // module: the library entry sits on top of every subsystem, below the backends.
    if (target == "platform/sdl" || target == "platform/process")
        return "the library entry does not use " + target;
    return std::nullopt;
}

}

std::string LayerOf(const std::string& path)
{
    if (StartsWith(path, "platform/")) {
        const size_t slash = path.find('/', 9);
        return slash == std::string::npos ? std::string() : path.substr(0, slash);
    }
    if (StartsWith(path, "include/zorkit/"))
        return "umbrella";
    const size_t slash = path.find('/');
    if (slash == std::string::npos)
        return {};
    const std::string top = path.substr(0, slash);
    if (top == "module" || IsSubsystem(top) || top == "sim" || top == "tools" || top == "tests" || top == "bench")
        return top;
    return {};
}

std::optional<std::string> IncludeViolation(const std::string& from, const std::string& included)
{
    const std::string layer = LayerOf(from);
    if (layer.empty())
        return std::nullopt;
    const bool library = IsLibrary(layer);

    if (kOperatingSystemHeaders.count(included) && !IsPlatform(layer) && layer != "tests" && layer != "bench")
        return "operating-system headers belong to platform/";

    if (StartsWith(included, "zorkit/")) {
        const std::string header = included.substr(7);
        if (header == "zorkit.h")
            return library ? std::optional<std::string>("the umbrella header is for hosts") : std::nullopt;
        const std::string target = LayerOf(header);
        if (target.empty() || !IsLibrary(target))
            return "zorkit/ names only library headers";
        if (library)
            return LibraryRule(from, layer, target, header);
        if (layer == "sim" || layer == "tools" || layer == "umbrella") {
            if (IsInternal(header))
                return "the internal headers of " + target + " are the library's own";
        }
        return std::nullopt;
    }

    const std::string target = LayerOf(included);
    if (target.empty())
        return std::nullopt;  // a standard or third-party header
    if (IsLibrary(target))
        return "library headers are included as \"zorkit/" + included + "\"";
    if (library)
        return "the library never includes " + target + "/";
    if (layer == "sim" && target != "sim")
        return "the virtual board stands on the library only";
    if (layer == "tools" && (target == "tests" || target == "bench"))
        return "tools never include " + target + "/";
    if (layer == "tools" && target == "tools") {
        const std::string tool = ToolOf(from);
        const std::string other = ToolOf(included);
        // common, cdebug and boardpanel are the tools' shared libraries, not tools.
        const bool shared = other == "common" || other == "cdebug" || other == "boardpanel";
        if (!shared && other != tool)
            return "one tool never includes another (" + tool + " -> " + other + "); move what both need to tools/common";
    }
    return std::nullopt;
}

std::vector<COffence> CheckTree(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    static const std::regex include(R"(^\s*#\s*include\s*["<]([^">]+)[">])");
    std::vector<COffence> offences;
    for (const char* top : {"platform", "module", "link", "disasm", "graph", "editor", "grid", "dialogs", "sim",
             "tools", "include"}) {
        if (!fs::exists(root / top))
            continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
                continue;
            const std::string relative = fs::relative(entry.path(), root).generic_string();
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::smatch match;
                if (!std::regex_search(line, match, include))
                    continue;
                if (std::optional<std::string> reason = IncludeViolation(relative, match[1].str()))
                    offences.push_back({relative + ":" + std::to_string(number), line, *reason});
            }
        }
    }
    return offences;
}

}
