// Global memory blocks: movable blocks handed between a program and the clipboard.
// A block is locked to reach its bytes; the clipboard owns a block once it has it.
#pragma once

#include <cstddef>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {
struct GlobalBlock;
}
typedef zorkit::GlobalBlock* HGLOBAL;
typedef void* HANDLE;

constexpr UINT GMEM_FIXED = 0x0000, GMEM_MOVEABLE = 0x0002, GMEM_ZEROINIT = 0x0040, GMEM_DDESHARE = 0x2000,
               GMEM_SHARE = GMEM_DDESHARE, GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Null when size is 0 or memory runs out. The bytes start zeroed.
HGLOBAL GlobalAlloc(UINT flags, std::size_t size);
// Null for a null block; otherwise the block's bytes, valid until GlobalFree.
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);
// Returns null on success, the block itself when it cannot be freed.
HGLOBAL GlobalFree(HGLOBAL block);
