#include "zorkit/platform/ui/Cursor.h"

#include <map>
#include <memory>

namespace {

std::map<UINT, std::unique_ptr<zorkit::CursorData>>& Standard()
{
    static std::map<UINT, std::unique_ptr<zorkit::CursorData>> cursors;
    return cursors;
}

// Resource cursors are kept after unregistration so that a handle never dangles.
std::map<UINT, std::unique_ptr<zorkit::CursorData>>& Resources()
{
    static std::map<UINT, std::unique_ptr<zorkit::CursorData>> cursors;
    return cursors;
}
std::vector<std::unique_ptr<zorkit::CursorData>>& Retired()
{
    static std::vector<std::unique_ptr<zorkit::CursorData>> cursors;
    return cursors;
}

constexpr UINT kStandardIds[] = {32512, 32513, 32514, 32515, 32642, 32643, 32644, 32645, 32646, 32648, 32649};

HCURSOR g_current = nullptr;

}

namespace zorkit {

void RegisterCursorResource(UINT id, int width, int height, CPoint hotSpot, std::vector<std::uint32_t> argb)
{
    UnregisterCursorResource(id);
    Resources()[id] = std::make_unique<CursorData>(CursorData{id, false, hotSpot, width, height, std::move(argb)});
}

void UnregisterCursorResource(UINT id)
{
    auto it = Resources().find(id);
    if (it == Resources().end())
        return;
    Retired().push_back(std::move(it->second));
    Resources().erase(it);
}

}

HCURSOR LoadCursor(void* instance, LPCTSTR name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    UINT id = UINT(reinterpret_cast<std::uintptr_t>(name));
    if (instance) {
        auto it = Resources().find(id);
        return it == Resources().end() ? nullptr : it->second.get();
    }
    bool known = false;
    for (UINT standardId : kStandardIds)
        known = known || standardId == id;
    if (!known)
        return nullptr;
    auto& slot = Standard()[id];
    if (!slot)
        slot = std::make_unique<zorkit::CursorData>(zorkit::CursorData{id, true, CPoint(), 0, 0, {}});
    return slot.get();
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = g_current;
    g_current = cursor;
    return previous;
}

HCURSOR GetCursor() { return g_current; }
