// A bitmap: 32-bit pixels 0x00RRGGBB (an RGB24 image surface), selected into a memory
// device context to draw on it.
#pragma once

#include <memory>

#include "zorkit/platform/gdi/GdiObject.h"

class CDC;
namespace zorkit {
class Surface;
}

class CBitmap : public CGdiObject {
public:
    // The new bitmap is black, as a fresh compatible bitmap is on the desktop.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    // bits: rows of 32-bit 0x00RRGGBB pixels, top row first; null leaves the bitmap black.
    // Only 32 bits per pixel (one plane) are accepted.
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    // A copy of a bitmap resource (BitmapResources.h); FALSE when id is not registered.
    BOOL LoadBitmap(UINT id);
    int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }
    CSize GetSize() const;
    operator HBITMAP() const;
    static CBitmap* FromHandle(HBITMAP handle)
    {
        return static_cast<CBitmap*>(CGdiObject::FromHandle(HGDIOBJ(handle)));
    }

    std::shared_ptr<zorkit::Surface> GetSurface() const;
    // Writes the pixels to a PNG file.
    BOOL WritePng(const char* path) const;
};
