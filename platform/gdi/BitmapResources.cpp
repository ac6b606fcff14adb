#include "zorkit/platform/gdi/BitmapResources.h"

#include <map>
#include <mutex>
#include <vector>

namespace zorkit {
namespace {

struct Entry {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
};

std::mutex& TableMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::map<UINT, Entry>& Table()
{
    static std::map<UINT, Entry> table;
    return table;
}

}

void RegisterBitmapResource(UINT id, int width, int height, const std::uint32_t* pixels)
{
    if (width <= 0 || height <= 0 || !pixels)
        return;
    std::lock_guard<std::mutex> lock(TableMutex());
    Table()[id] = Entry{width, height, std::vector<std::uint32_t>(pixels, pixels + std::size_t(width) * height)};
}

void UnregisterBitmapResource(UINT id)
{
    std::lock_guard<std::mutex> lock(TableMutex());
    Table().erase(id);
}

bool FindBitmapResource(UINT id, BitmapResource* resource)
{
    std::lock_guard<std::mutex> lock(TableMutex());
    auto it = Table().find(id);
    if (it == Table().end() || !resource)
        return false;
    *resource = BitmapResource{it->second.width, it->second.height, it->second.pixels.data()};
    return true;
}

}
