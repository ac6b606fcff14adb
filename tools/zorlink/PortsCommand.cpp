#include "tools/zorlink/PortsCommand.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "tools/common/SerialDevices.h"

namespace zorlink {

namespace fs = std::filesystem;

namespace {

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
        std::ifstream in(entry.path() / "comm");
        std::string comm;
        std::getline(in, comm);
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
    const CSerialDeviceList found = FindSerialDevices();
    for (const CSerialDevice& device : found.devices) {
        std::printf("%s%s%s: %s\n", device.path.c_str(), device.usb.empty() ? "" : "  USB ", device.usb.c_str(),
                    Access(device.path).c_str());
        for (const std::string& alias : device.aliases)
            std::printf("  %s -> %s\n", alias.c_str(), device.path.c_str());
    }
    if (found.devices.empty())
        std::printf("no serial devices found (plug in the USB serial adapter; 'dmesg | tail' tells what the kernel saw)\n");
    if (found.withoutUart > 0)
        std::printf("(%d /dev/ttyS* without a UART behind them not shown)\n", found.withoutUart);
    std::printf("boxes on another PC are reached through its port server (ser2net): "
                "-d rfc2217://HOST:PORT, or -d tcp://HOST:PORT for a raw port\n");
    for (const std::string& grabber : GrabbersRunning())
        std::fprintf(stderr, "zorlink: warning: %s is running; it is known to grab USB serial adapters "
                             "(stop it, e.g. sudo systemctl stop %s)\n",
                     grabber.c_str(), grabber == "brltty" ? "brltty" : "ModemManager");
    std::fflush(stdout);
    return CommandResult::Success();
}

}
