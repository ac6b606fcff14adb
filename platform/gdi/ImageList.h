// A row of equally sized images cut from bitmaps, drawn with a transparent colour.
#pragma once

#include <memory>

#include "zorkit/platform/gdi/GdiTypes.h"

class CBitmap;
class CDC;
namespace zorkit {
class Surface;
}

constexpr UINT ILC_MASK = 0x0001, ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000, ILD_TRANSPARENT = 0x0001;

struct IMAGEINFO {
    HBITMAP hbmImage;
    HBITMAP hbmMask;
    int Unused1;
    int Unused2;
    RECT rcImage;
};

class CImageList {
public:
    CImageList();
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // Cuts bitmap resource id into images cx wide (see Create below).
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
    // Cuts bitmap into images as wide as the list's; pixels of colour mask are transparent.
    BOOL Create(CBitmap* bitmap, int cx, int grow, COLORREF mask);
    // Adds the images of bitmap; returns the index of the first, -1 on failure.
    int Add(CBitmap* bitmap, COLORREF mask);
    BOOL DeleteImageList();
    int GetImageCount() const;
    BOOL GetImageInfo(int image, IMAGEINFO* info) const;
    // ILD_NORMAL and ILD_TRANSPARENT both leave the transparent pixels untouched.
    BOOL Draw(CDC* dc, int image, POINT pt, UINT style);
    HGDIOBJ GetSafeHandle() const { return m_images ? HGDIOBJ(m_images) : nullptr; }

private:
    std::unique_ptr<CBitmap> m_bitmap;
    HBITMAP m_images = nullptr;
    COLORREF m_mask = CLR_INVALID;
    CSize m_imageSize;
    int m_count = 0;
};
