// Bitmap resources: pixel blocks compiled into the libraries and registered by their
// entry code at load time, loaded by id with CBitmap::LoadBitmap.
#pragma once

#include <cstdint>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

// Registers (or replaces) bitmap id: rows of 0x00RRGGBB pixels, top row first; copied.
void RegisterBitmapResource(UINT id, int width, int height, const std::uint32_t* pixels);
void UnregisterBitmapResource(UINT id);

struct BitmapResource {
    int width;
    int height;
    const std::uint32_t* pixels;
};
// False when id is not registered; the pixels stay valid until id is registered again or removed.
bool FindBitmapResource(UINT id, BitmapResource* resource);

}
