#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "zorkit/platform/gdi/BitmapResources.h"
#include "zorkit/platform/gdi/ImageList.h"
#include "tests/gdi/Canvas.h"
#include "tests/support/TempDir.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// A distinct colour for every pixel, so a misplaced pixel cannot go unseen.
COLORREF Pattern(int x, int y) { return RGB(BYTE(x * 7), BYTE(y * 11), BYTE(x + y)); }

void PaintPattern(Canvas& canvas)
{
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            canvas.dc.SetPixel(x, y, Pattern(x, y));
}

TEST(BitBlt, CopiesExactlyTheRectangleAndKeepsToTheSource)
{
    Canvas source(8, 8);
    PaintPattern(source);
    Canvas target(20, 20);
    ASSERT_TRUE(target.dc.BitBlt(10, 12, 6, 4, &source.dc, 1, 2, SRCCOPY));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 10 && x < 16 && y >= 12 && y < 16;
            ASSERT_EQ(target.dc.GetPixel(x, y), inside ? Pattern(x - 9, y - 10) : kWhite) << x << "," << y;
        }

    Canvas edge(20, 20);
    edge.dc.BitBlt(0, 0, 20, 20, &source.dc, 4, 4, SRCCOPY);
    EXPECT_EQ(edge.InkBounds(), CRect(0, 0, 4, 4)) << "pixels with no source pixel stay as they were";
}

TEST(BitBlt, SourceInvertTwiceRestoresAndAndOrCombine)
{
    Canvas source(4, 4);
    PaintPattern(source);
    Canvas target(4, 4);
    target.dc.FillSolidRect(0, 0, 4, 4, RGB(0x0F, 0xF0, 0x55));
    target.dc.BitBlt(0, 0, 4, 4, &source.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(target.dc.GetPixel(3, 2), RGB(0x0F ^ 21, 0xF0 ^ 22, 0x55 ^ 5));
    target.dc.BitBlt(0, 0, 4, 4, &source.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(target.Count(RGB(0x0F, 0xF0, 0x55)), 16);
    target.dc.BitBlt(0, 0, 4, 4, &source.dc, 0, 0, SRCAND);
    EXPECT_EQ(target.dc.GetPixel(3, 2), RGB(0x0F & 21, 0xF0 & 22, 0x55 & 5));
    target.dc.BitBlt(0, 0, 4, 4, &source.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(target.dc.GetPixel(3, 2), RGB((0x0F & 21) | 21, (0xF0 & 22) | 22, (0x55 & 5) | 5));
}

TEST(BitBlt, OverlappingCopyWithinOneSurfaceMovesEveryPixelOnce)
{
    for (const CPoint shift : {CPoint(0, 3), CPoint(0, -3), CPoint(2, 1), CPoint(-2, -1), CPoint(3, 0)}) {
        Canvas canvas(16, 16);
        PaintPattern(canvas);
        canvas.dc.BitBlt(4 + shift.x, 4 + shift.y, 8, 8, &canvas.dc, 4, 4, SRCCOPY);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(canvas.dc.GetPixel(4 + shift.x + x, 4 + shift.y + y), Pattern(4 + x, 4 + y))
                    << "shift " << shift.x << "," << shift.y << " at " << x << "," << y;
    }
}

TEST(ScrollDC, MovesPixelsWithinTheAreaAndReportsTheUncoveredStrip)
{
    Canvas canvas(10, 10);
    PaintPattern(canvas);
    const CRect area(0, 0, 10, 10);
    CRect update;
    ASSERT_TRUE(canvas.dc.ScrollDC(0, -3, &area, &area, &update));
    EXPECT_EQ(update, CRect(0, 7, 10, 10));
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(canvas.dc.GetPixel(x, y), Pattern(x, y + 3)) << x << "," << y;

    const CRect band(2, 0, 8, 10);
    canvas.dc.ScrollDC(2, 0, &band, &band, &update);
    EXPECT_EQ(update, CRect(2, 0, 4, 10));
    EXPECT_EQ(canvas.dc.GetPixel(7, 0), Pattern(5, 3));
    EXPECT_EQ(canvas.dc.GetPixel(8, 0), Pattern(8, 3)) << "pixels right of the band stay";
}

TEST(ScrollDC, PixelsLeavingTheAreaLandWithinTheClip)
{
    Canvas canvas(10, 10);
    PaintPattern(canvas);
    const CRect area(0, 4, 10, 10);
    const CRect clip(0, 2, 10, 10);
    CRect update;
    ASSERT_TRUE(canvas.dc.ScrollDC(0, -3, &area, &clip, &update));
    EXPECT_EQ(update, CRect(0, 7, 10, 10)) << "the part of the area nothing moved into";
    for (int y = 2; y < 7; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(canvas.dc.GetPixel(x, y), Pattern(x, y + 3)) << x << "," << y;
    EXPECT_EQ(canvas.dc.GetPixel(3, 0), Pattern(3, 0)) << "nothing lands outside the clip";
    EXPECT_EQ(canvas.dc.GetPixel(3, 1), Pattern(3, 1));
}

TEST(Snapshot, PngHasTheBitmapsSize)
{
    Canvas canvas(37, 21);
    canvas.dc.FillSolidRect(0, 0, 5, 5, RGB(255, 0, 0));
    TempDir scratch;
    const std::string path = scratch.File("snapshot.png");
    ASSERT_TRUE(canvas.dc.WritePng(path.c_str()));
    std::ifstream file(path, std::ios::binary);
    std::vector<unsigned char> header(24);
    file.read(reinterpret_cast<char*>(header.data()), 24);
    ASSERT_EQ(file.gcount(), 24);
    EXPECT_EQ(std::vector<unsigned char>(header.begin() + 1, header.begin() + 4),
              (std::vector<unsigned char>{'P', 'N', 'G'}));
    EXPECT_EQ(header[19], 37);
    EXPECT_EQ(header[23], 21);
    EXPECT_FALSE(canvas.dc.WritePng("/nonexistent-dir/x.png"));
}

TEST(ImageList, DrawsImagesWithTheTransparentColourLeftOut)
{
    // Two 3 x 2 images: the first blue with a cyan (transparent) corner, the second red.
    const COLORREF cyan = RGB(0, 255, 255);
    Canvas strip(6, 2);
    strip.dc.FillSolidRect(0, 0, 3, 2, RGB(0, 0, 255));
    strip.dc.SetPixel(0, 0, cyan);
    strip.dc.FillSolidRect(3, 0, 3, 2, RGB(255, 0, 0));
    CImageList images;
    ASSERT_TRUE(images.Create(&strip.bitmap, 3, 4, cyan));
    EXPECT_EQ(images.GetImageCount(), 2);
    IMAGEINFO info;
    ASSERT_TRUE(images.GetImageInfo(1, &info));
    EXPECT_EQ(CRect(info.rcImage), CRect(3, 0, 6, 2));
    EXPECT_FALSE(images.GetImageInfo(2, &info));

    Canvas target(8, 4);
    target.dc.FillSolidRect(0, 0, 8, 4, RGB(9, 9, 9));
    ASSERT_TRUE(images.Draw(&target.dc, 0, CPoint(1, 1), ILD_TRANSPARENT));
    EXPECT_EQ(target.dc.GetPixel(1, 1), RGB(9, 9, 9));
    EXPECT_EQ(target.dc.GetPixel(2, 1), RGB(0, 0, 255));
    EXPECT_EQ(target.dc.GetPixel(3, 2), RGB(0, 0, 255));
    EXPECT_EQ(target.dc.GetPixel(4, 2), RGB(9, 9, 9));
    images.Draw(&target.dc, 1, CPoint(5, 0), ILD_NORMAL);
    EXPECT_EQ(target.dc.GetPixel(7, 1), RGB(255, 0, 0));
    EXPECT_FALSE(images.Draw(&target.dc, 2, CPoint(0, 0), ILD_NORMAL));
}

}

namespace {

TEST(ImageList, ComesFromABitmapResource)
{
    const std::uint32_t pixels[] = {0x00FF00FF, 0x0000FF00, 0x000000FF, 0x00FF00FF};
    zorkit::RegisterBitmapResource(0x7E57, 4, 1, pixels);
    CImageList images;
    ASSERT_TRUE(images.Create(0x7E57, 2, 2, RGB(255, 0, 255)));
    EXPECT_EQ(images.GetImageCount(), 2);
    Canvas target(4, 1);
    images.Draw(&target.dc, 1, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(target.dc.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(target.dc.GetPixel(1, 0), RGB(255, 255, 255));
    zorkit::UnregisterBitmapResource(0x7E57);
    CImageList missing;
    EXPECT_FALSE(missing.Create(0x7E57, 2, 2, RGB(255, 0, 255)));
}

}
