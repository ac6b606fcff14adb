#include "zorkit/platform/serial/PortTable.h"

#include <filesystem>
#include <map>
#include <mutex>

namespace zorkit {
namespace {
std::mutex g_lock;
std::map<int, std::string> g_paths;
}

void SetSerialPortPath(int index, const std::string& path)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_paths[index] = path;
}

void ResetSerialPortPath(int index)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_paths.erase(index);
}

std::string SerialPortPath(int index)
{
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = g_paths.find(index);
    return it != g_paths.end() ? it->second : "/dev/ttyS" + std::to_string(index);
}

bool IsNetworkSerialName(const std::string& name)
{
    return name.rfind("rfc2217://", 0) == 0 || name.rfind("tcp://", 0) == 0;
}

bool SerialDeviceMayBeThere(const std::string& name)
{
    std::error_code ignored;
    return IsNetworkSerialName(name) || std::filesystem::exists(name, ignored);
}

}
