// The pictures the library puts into the host's search chain when it is loaded: the
// margin images and the margin cursor of the text views.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "zorkit/module/LibraryImages.h"
#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/ui/Cursor.h"

namespace {

constexpr COLORREF kCyan = RGB(0, 255, 255);

struct MarginImages : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(bitmap.LoadBitmap(zorkit::IDB_MARGIN_IMAGES));
        dc.CreateCompatibleDC(nullptr);
        old = dc.SelectObject(&bitmap);
    }
    void TearDown() override { dc.SelectObject(old); }

    COLORREF At(int image, int x, int y) { return dc.GetPixel(image * 16 + x, y); }
    std::set<COLORREF> Colours(int image)
    {
        std::set<COLORREF> colours;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                colours.insert(At(image, x, y));
        return colours;
    }

    CBitmap bitmap;
    CDC dc;
    CBitmap* old = nullptr;
};

TEST_F(MarginImages, FourSixteenPixelImagesOnTheTransparentColour)
{
    BITMAP info{};
    bitmap.GetBitmap(&info);
    EXPECT_EQ(info.bmWidth, 64);
    EXPECT_EQ(info.bmHeight, 16);
    EXPECT_EQ(zorkit::kMarginImagesTransparent, kCyan);
    for (int image = 0; image < 4; ++image) {
        EXPECT_EQ(At(image, 0, 0), kCyan) << "image " << image;
        EXPECT_EQ(At(image, 15, 15), kCyan) << "image " << image;
    }
    EXPECT_EQ(Colours(0), (std::set<COLORREF>{kCyan, RGB(0, 0, 0), RGB(255, 255, 0)})) << "black-edged yellow arrow";
    EXPECT_EQ(Colours(1), (std::set<COLORREF>{kCyan, RGB(255, 255, 255), RGB(255, 0, 0)})) << "white disc, red ring";
    EXPECT_EQ(Colours(2), (std::set<COLORREF>{kCyan, RGB(255, 0, 0)})) << "red disc";
    EXPECT_EQ(Colours(3), (std::set<COLORREF>{kCyan, RGB(0, 0, 255)})) << "blue triangle";
}

TEST_F(MarginImages, ArrowAndTrianglePointRightAndTheRingSurroundsWhite)
{
    // Pointing right: the shapes narrow towards their right ends.
    auto height = [&](int image, int x, COLORREF fill) {
        int rows = 0;
        for (int y = 0; y < 16; ++y)
            rows += At(image, x, y) == fill;
        return rows;
    };
    EXPECT_GT(height(0, 10, RGB(255, 255, 0)), height(0, 13, RGB(255, 255, 0)));
    EXPECT_GT(height(3, 5, RGB(0, 0, 255)), height(3, 12, RGB(0, 0, 255)));
    EXPECT_EQ(At(0, 1, 7), RGB(0, 0, 0)) << "the arrow's tail is outlined";
    EXPECT_EQ(At(1, 8, 8), RGB(255, 255, 255));
    EXPECT_EQ(At(1, 8, 2), RGB(255, 0, 0));
    EXPECT_EQ(At(2, 8, 8), RGB(255, 0, 0));
}

TEST(MarginCursor, IsTheStandardArrowMirroredWithItsTipOnTheHotSpot)
{
    static int instance;
    HCURSOR cursor = LoadCursor(&instance, MAKEINTRESOURCE(zorkit::IDC_MARGIN_CURSOR));
    ASSERT_NE(cursor, nullptr);
    ASSERT_EQ(cursor->width, 32);
    ASSERT_EQ(cursor->height, 32);
    EXPECT_EQ(cursor->hotSpot, CPoint(12, 0));
    auto at = [&](int x, int y) { return cursor->pixels[std::size_t(y) * 32 + x]; };
    EXPECT_EQ(at(12, 0), 0xFF000000u) << "the tip is the hot spot";
    EXPECT_EQ(at(11, 2), 0xFFFFFFFFu) << "white inside";
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            std::uint32_t p = at(x, y);
            if (p == 0)
                continue;
            ++opaque;
            EXPECT_TRUE(p == 0xFF000000u || p == 0xFFFFFFFFu) << "monochrome at " << x << "," << y;
            EXPECT_LE(x, 12) << "the body lies left of the tip";
        }
    EXPECT_GT(opaque, 60);
    EXPECT_EQ(at(3, 10), 0xFF000000u) << "the right-hand wing's lower edge, mirrored to the left";
}

}
