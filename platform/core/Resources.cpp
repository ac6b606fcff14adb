#include "zorkit/platform/core/Resources.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace zorkit {
namespace {
std::mutex g_lock;
std::map<UINT, std::unique_ptr<std::string>> g_strings;
}

void RegisterStringResource(UINT id, const char* gbkText)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_strings[id] = std::make_unique<std::string>(gbkText ? gbkText : "");
}

void UnregisterStringResource(UINT id)
{
    std::lock_guard<std::mutex> hold(g_lock);
    g_strings.erase(id);
}

const char* FindStringResource(UINT id)
{
    std::lock_guard<std::mutex> hold(g_lock);
    auto it = g_strings.find(id);
    return it == g_strings.end() ? nullptr : it->second->c_str();
}

}
