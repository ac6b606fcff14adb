// A white memory DC of a given size, and helpers to read its pixels back.
#pragma once

#include <set>
#include <utility>

#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"

struct Canvas {
    Canvas(int width, int height) : width(width), height(height)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, width, height);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    }
    ~Canvas() { dc.SelectObject(old); }

    // The pixels that are not white.
    std::set<std::pair<int, int>> Inked() const
    {
        std::set<std::pair<int, int>> inked;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (dc.GetPixel(x, y) != RGB(255, 255, 255))
                    inked.insert({x, y});
        return inked;
    }
    CRect InkBounds() const
    {
        CRect bounds(width, height, -1, -1);
        for (const auto& [x, y] : Inked()) {
            bounds.left = std::min<LONG>(bounds.left, x);
            bounds.top = std::min<LONG>(bounds.top, y);
            bounds.right = std::max<LONG>(bounds.right, x + 1);
            bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
        }
        return bounds;
    }
    int Count(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                count += dc.GetPixel(x, y) == colour;
        return count;
    }

    int width;
    int height;
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};
