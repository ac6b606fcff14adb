#include "zorkit/platform/gdi/Bitmap.h"

#include <cstring>

#include "zorkit/platform/gdi/BitmapResources.h"
#include "zorkit/platform/gdi/internal/GdiObjectData.h"
#include "zorkit/platform/gdi/Surface.h"

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int width, int height)
{
    return CreateBitmap(width, height, 1, 32, nullptr);
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (planes != 1 || bitsPerPixel != 32)
        return FALSE;
    auto surface = zorkit::Surface::Create(width, height);
    if (!surface)
        return FALSE;
    if (bits)
        std::memcpy(surface->Pixels(), bits, std::size_t(width) * std::size_t(height) * 4);
    Adopt(std::make_shared<zorkit::BitmapData>(std::move(surface)));
    return TRUE;
}

BOOL CBitmap::LoadBitmap(UINT id)
{
    zorkit::BitmapResource resource{};
    if (!zorkit::FindBitmapResource(id, &resource))
        return FALSE;
    return CreateBitmap(resource.width, resource.height, 1, 32, resource.pixels);
}

CSize CBitmap::GetSize() const
{
    auto surface = GetSurface();
    return surface ? CSize(surface->Width(), surface->Height()) : CSize();
}

CBitmap::operator HBITMAP() const
{
    return static_cast<HBITMAP>(m_data.get());
}

std::shared_ptr<zorkit::Surface> CBitmap::GetSurface() const
{
    auto* data = static_cast<zorkit::BitmapData*>(m_data.get());
    return data ? data->surface : nullptr;
}

BOOL CBitmap::WritePng(const char* path) const
{
    auto surface = GetSurface();
    return surface ? surface->WritePng(path) : FALSE;
}
