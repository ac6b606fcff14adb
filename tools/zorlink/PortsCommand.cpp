#include "tools/zorlink/PortsCommand.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

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

std::string Access(const std::string& path)
{
    if (::access(path.c_str(), R_OK | W_OK) == 0)
        return "you may open it";
    struct stat info {};
    std::string group = "its group";
    if (::stat(path.c_str(), &info) == 0)
        if (const struct group* entry = ::getgrgid(info.st_gid))
            group = entry->gr_name;
    return "you may not open it (join " + group + ": sudo usermod -aG " + group + " $USER, then log in again)";
}

// Programs known to open USB serial adapters the moment they appear.
std::vector<std::string> GrabbersRunning()
{
    static const std::set<std::string> kGrabbers = {"ModemManager", "brltty"};
    std::set<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        std::string comm = FirstLine(entry.path() / "comm");
        if (kGrabbers.count(comm))
            found.insert(comm);
    }
    return {found.begin(), found.end()};
}

}

CommandResult ListPorts(CLinkSession&, const Arguments& args)
{
    if (!args.empty())
        return CommandResult::Usage("ports takes no arguments");
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
    int shown = 0, withoutUart = 0;
    for (const std::string& name : names) {
        if (HasNoUart(name)) {
            ++withoutUart;
            continue;
        }
        std::string path = "/dev/" + name;
        std::string usb = UsbIdentity(name);
        std::printf("%s%s%s: %s\n", path.c_str(), usb.empty() ? "" : "  USB ", usb.c_str(), Access(path).c_str());
        for (const std::string& alias : aliases[name])
            std::printf("  %s -> %s\n", alias.c_str(), path.c_str());
        ++shown;
    }
    if (shown == 0)
        std::printf("no serial devices found (plug in the USB serial adapter; 'dmesg | tail' tells what the kernel saw)\n");
    if (withoutUart > 0)
        std::printf("(%d /dev/ttyS* without a UART behind them not shown)\n", withoutUart);
    for (const std::string& grabber : GrabbersRunning())
        std::fprintf(stderr, "zorlink: warning: %s is running; it is known to grab USB serial adapters "
                             "(stop it, e.g. sudo systemctl stop %s)\n",
                     grabber.c_str(), grabber == "brltty" ? "brltty" : "ModemManager");
    std::fflush(stdout);
    return CommandResult::Success();
}
