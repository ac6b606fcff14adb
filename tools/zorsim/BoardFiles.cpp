#include "tools/zorsim/BoardFiles.h"

#include <cstdio>

namespace zorsim {

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
