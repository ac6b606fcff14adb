#include "zorkit/platform/core/GlobalMemory.h"

#include <new>
#include <vector>

namespace zorkit {
struct GlobalBlock {
    std::vector<unsigned char> bytes;
    int locks = 0;
};
}

HGLOBAL GlobalAlloc(UINT, std::size_t size)
{
    if (size == 0)
        return nullptr;
    auto* block = new (std::nothrow) zorkit::GlobalBlock;
    if (!block)
        return nullptr;
    try {
        block->bytes.assign(size, 0);
    } catch (const std::bad_alloc&) {
        delete block;
        return nullptr;
    }
    return block;
}

void* GlobalLock(HGLOBAL block)
{
    if (!block)
        return nullptr;
    ++block->locks;
    return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block)
{
    if (!block || block->locks == 0)
        return FALSE;
    return --block->locks > 0;
}

std::size_t GlobalSize(HGLOBAL block) { return block ? block->bytes.size() : 0; }

HGLOBAL GlobalFree(HGLOBAL block)
{
    delete block;
    return nullptr;
}
