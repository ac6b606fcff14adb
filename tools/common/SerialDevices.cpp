#include "tools/common/SerialDevices.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// "0403:6001 FT232R USB UART" from the USB device above the tty in sysfs; empty for other ports.
std::string UsbIdentity(const std::string& name)
{
    std::error_code error;
    fs::path at = fs::canonical(fs::path("/sys/class/tty") / name / "device", error);
    for (int up = 0; !error && up < 6 && at.has_relative_path(); ++up, at = at.parent_path()) {
        if (fs::exists(at / "idVendor")) {
            std::string product = FirstLine(at / "product");
            return FirstLine(at / "idVendor") + ":" + FirstLine(at / "idProduct") + (product.empty() ? "" : " " + product);
        }
    }
    return "";
}

// A ttyS the kernel knows no UART for cannot carry a board.
bool HasNoUart(const std::string& name)
{
    return name.rfind("ttyS", 0) == 0 && FirstLine(fs::path("/sys/class/tty") / name / "type") == "0";
}

}

CSerialDeviceList FindSerialDevices()
{
    // Device name (ttyUSB0) to the stable names that lead to it.
    std::map<std::string, std::vector<std::string>> aliases;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", error)) {
        fs::path target = fs::canonical(entry.path(), error);
        if (!error)
            aliases[target.filename().string()].push_back(entry.path().string());
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator("/dev", error)) {
        std::string name = entry.path().filename().string();
        for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"})
            if (name.rfind(prefix, 0) == 0 && name.size() > std::string(prefix).size())
                names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    CSerialDeviceList found;
    for (const std::string& name : names) {
        if (HasNoUart(name)) {
            ++found.withoutUart;
            continue;
        }
        found.devices.push_back({"/dev/" + name, UsbIdentity(name), aliases[name]});
    }
    return found;
}

std::string SerialByIdDirectory()
{
    const char* given = std::getenv("ZORKIT_SERIAL_BY_ID_DIR");
    return given && *given ? given : "/dev/serial/by-id";
}

std::string StableSerialName(const std::string& device, const std::string& byIdDirectory)
{
    const std::string name = fs::path(device).filename().string();
    std::size_t digits = 0;
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        if (name.rfind(prefix, 0) == 0)
            digits = name.size() - std::string(prefix).size();
    if (digits == 0 || !std::all_of(name.end() - long(digits), name.end(), [](unsigned char c) { return std::isdigit(c); }))
        return "";
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error)
        return "";
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(byIdDirectory, error)) {
        std::error_code unresolved;
        if (fs::canonical(entry.path(), unresolved) == target && !unresolved)
            found.push_back(entry.path().string());
    }
    return found.empty() ? "" : *std::min_element(found.begin(), found.end());
}
