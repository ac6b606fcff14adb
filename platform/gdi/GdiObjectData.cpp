#include "zorkit/platform/gdi/internal/GdiObjectData.h"

#include <cstring>

#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/internal/FontLibrary.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/Surface.h"

namespace zorkit {
namespace {

template <typename T>
int CopyOut(const T& value, int size, void* buffer)
{
    if (!buffer || size < int(sizeof(T)))
        return 0;
    std::memcpy(buffer, &value, sizeof(T));
    return int(sizeof(T));
}

}

GdiObjectData::~GdiObjectData() = default;

CGdiObject* GdiObjectData::Object()
{
    if (m_owner)
        return m_owner;
    if (!m_wrapper) {
        m_wrapper = MakeWrapper();
        // The wrapper refers to this record without owning it: the record owns the wrapper.
        m_wrapper->m_data = std::shared_ptr<GdiObjectData>(std::shared_ptr<GdiObjectData>(), this);
    }
    return m_wrapper.get();
}

int PenData::Describe(int size, void* buffer) const { return CopyOut(pen, size, buffer); }
std::unique_ptr<CGdiObject> PenData::MakeWrapper() { return std::make_unique<CPen>(); }

int BrushData::Describe(int size, void* buffer) const { return CopyOut(brush, size, buffer); }
std::unique_ptr<CGdiObject> BrushData::MakeWrapper() { return std::make_unique<CBrush>(); }

int FontData::Describe(int size, void* buffer) const { return CopyOut(font, size, buffer); }
std::unique_ptr<CGdiObject> FontData::MakeWrapper() { return std::make_unique<CFont>(); }

ScaledFont& FontData::Scaled()
{
    if (!m_scaled)
        m_scaled = FontLibrary::Instance().Scaled(font);
    return *m_scaled;
}

int BitmapData::Describe(int size, void* buffer) const
{
    BITMAP bitmap{};
    bitmap.bmWidth = surface->Width();
    bitmap.bmHeight = surface->Height();
    bitmap.bmWidthBytes = surface->Width() * 4;
    bitmap.bmPlanes = 1;
    bitmap.bmBitsPixel = 32;
    bitmap.bmBits = surface->Pixels();
    return CopyOut(bitmap, size, buffer);
}
std::unique_ptr<CGdiObject> BitmapData::MakeWrapper() { return std::make_unique<CBitmap>(); }

}
