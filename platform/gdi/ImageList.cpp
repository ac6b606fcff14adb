#include "zorkit/platform/gdi/ImageList.h"

#include <algorithm>

#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/internal/DCState.h"
#include "zorkit/platform/gdi/Surface.h"

CImageList::CImageList() = default;
CImageList::~CImageList() = default;

BOOL CImageList::Create(int cx, int cy, UINT, int, int)
{
    if (cx <= 0 || cy <= 0)
        return FALSE;
    DeleteImageList();
    m_imageSize = CSize(cx, cy);
    return TRUE;
}

BOOL CImageList::Create(CBitmap* bitmap, int cx, int grow, COLORREF mask)
{
    if (!bitmap || !bitmap->GetSafeHandle() || !Create(cx, bitmap->GetSize().cy, ILC_MASK, 0, grow))
        return FALSE;
    return Add(bitmap, mask) >= 0;
}

BOOL CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF mask)
{
    CBitmap bitmap;
    return bitmap.LoadBitmap(bitmapId) && Create(&bitmap, cx, grow, mask);
}

int CImageList::Add(CBitmap* bitmap, COLORREF mask)
{
    if (m_imageSize.cx <= 0 || !bitmap || !bitmap->GetSafeHandle())
        return -1;
    const auto source = bitmap->GetSurface();
    const int added = source->Width() / m_imageSize.cx;
    if (added <= 0)
        return -1;
    // All images live side by side in one bitmap; the key colour is the list's.
    auto grown = std::make_unique<CBitmap>();
    if (!grown->CreateBitmap((m_count + added) * m_imageSize.cx, m_imageSize.cy, 1, 32, nullptr))
        return -1;
    auto target = grown->GetSurface();
    const std::uint32_t keyPixel = zorkit::PixelFromColor(mask);
    const std::uint32_t oldKey = zorkit::PixelFromColor(m_mask);
    for (int y = 0; y < m_imageSize.cy; ++y) {
        std::uint32_t* row = target->Row(y);
        if (m_bitmap) {
            const std::uint32_t* old = m_bitmap->GetSurface()->Row(y);
            for (int x = 0; x < m_count * m_imageSize.cx; ++x)
                row[x] = m_mask != CLR_INVALID && (old[x] & 0xFFFFFF) == oldKey ? keyPixel : old[x];
        }
        if (y < source->Height())
            std::copy_n(source->Row(y), added * m_imageSize.cx, row + m_count * m_imageSize.cx);
    }
    const int first = m_count;
    m_bitmap = std::move(grown);
    m_images = *m_bitmap;
    m_mask = mask;
    m_count += added;
    return first;
}

BOOL CImageList::DeleteImageList()
{
    const bool had = m_bitmap != nullptr;
    m_bitmap.reset();
    m_images = nullptr;
    m_count = 0;
    m_mask = CLR_INVALID;
    return had;
}

int CImageList::GetImageCount() const { return m_count; }

BOOL CImageList::GetImageInfo(int image, IMAGEINFO* info) const
{
    if (!info || image < 0 || image >= m_count)
        return FALSE;
    *info = IMAGEINFO{};
    info->hbmImage = m_images;
    info->rcImage = CRect(CPoint(image * m_imageSize.cx, 0), m_imageSize);
    return TRUE;
}

BOOL CImageList::Draw(CDC* dc, int image, POINT pt, UINT)
{
    zorkit::DCState* state = dc ? dc->GetSafeHdc() : nullptr;
    if (!state || image < 0 || image >= m_count)
        return FALSE;
    if (state->Record("ImageList::Draw", CRect(pt, m_imageSize)))
        state->calls.back().rop = DWORD(image);
    const CRect dest(state->ToDevice(pt.x, pt.y), m_imageSize);
    const CPoint sourceOrigin(image * m_imageSize.cx, 0);
    if (m_mask == CLR_INVALID)
        state->painter->Blit(dest, *m_bitmap->GetSurface(), sourceOrigin, zorkit::RopTable(SRCCOPY), 0);
    else
        state->painter->BlitKeyed(dest, *m_bitmap->GetSurface(), sourceOrigin, m_mask);
    return TRUE;
}
