#include "tools/zorsim/BoardFiles.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace zorsim {

std::optional<zorkit::sim::CBoardProfile> LoadBoardProfile(const std::string& path, std::string& error)
{
    if (path.empty())
        return zorkit::sim::DefaultBoardProfile();
    std::ifstream file(path);
    if (!file) {
        error = "cannot read the board profile " + path;
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::optional<zorkit::sim::CBoardProfile> profile = zorkit::sim::ParseBoardProfile(text.str(), error);
    if (!profile)
        error = path + ":" + error;
    return profile;
}

namespace {

std::string JsonString(const std::string& text)
{
    std::string json = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

}

std::string EventJson(const zorkit::sim::CDeviceEvent& event)
{
    return "{\"cycle\":" + std::to_string(event.cycle) + ",\"device\":" + JsonString(event.device)
        + ",\"state\":" + JsonString(event.state) + "}";
}

}
