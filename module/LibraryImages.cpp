#include "zorkit/module/LibraryImages.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "zorkit/platform/gdi/BitmapResources.h"
#include "zorkit/platform/ui/Cursor.h"

namespace zorkit {
namespace {

constexpr int kImage = 16;
constexpr int kImageCount = 4;

// 0x00RRGGBB, as bitmap resources hold them.
constexpr std::uint32_t kCyan = 0x0000FFFF;
constexpr std::uint32_t kBlack = 0x00000000;
constexpr std::uint32_t kYellow = 0x00FFFF00;
constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kRed = 0x00FF0000;
constexpr std::uint32_t kBlue = 0x000000FF;

// The current-line arrow: K outline, Y fill.
const char* const kArrow[kImage] = {
    "................", "................", ".........K......", ".........KK.....",
    ".........KYK....", ".KKKKKKKKKYYK...", ".KYYYYYYYYYYYK..", ".KYYYYYYYYYYYYK.",
    ".KYYYYYYYYYYYYK.", ".KYYYYYYYYYYYK..", ".KKKKKKKKKYYK...", ".........KYK....",
    ".........KK.....", ".........K......", "................", "................",
};

std::uint32_t ArrowPixel(int x, int y)
{
    switch (kArrow[y][x]) {
    case 'K': return kBlack;
    case 'Y': return kYellow;
    default: return kCyan;
    }
}

// Distance from the image's centre, for the discs.
double Radius(int x, int y) { return std::hypot(x - 7.5, y - 7.5); }

std::uint32_t RingPixel(int x, int y)
{
    const double r = Radius(x, y);
    return r > 6.5 ? kCyan : r > 4.5 ? kRed : kWhite;
}

std::uint32_t DiscPixel(int x, int y) { return Radius(x, y) > 6.5 ? kCyan : kRed; }

// Pointing right: one pixel wide at rows 2 and 13, eleven across the middle rows.
std::uint32_t TrianglePixel(int x, int y)
{
    const double halfHeight = 6.0 - std::abs(y - 7.5);
    return halfHeight > 0 && x >= 4 && x - 4 < 2 * halfHeight ? kBlue : kCyan;
}

std::vector<std::uint32_t> MarginImages()
{
    using Painter = std::uint32_t (*)(int, int);
    const Painter painters[kImageCount] = {ArrowPixel, RingPixel, DiscPixel, TrianglePixel};
    std::vector<std::uint32_t> pixels(std::size_t(kImage) * kImage * kImageCount);
    for (int y = 0; y < kImage; ++y)
        for (int image = 0; image < kImageCount; ++image)
            for (int x = 0; x < kImage; ++x)
                pixels[std::size_t(y) * kImage * kImageCount + image * kImage + x] = painters[image](x, y);
    return pixels;
}

// The standard arrow (X outline, . fill) as it points up and left; mirrored when
// registered, so its tip lands on the hot spot (12, 0).
const char* const kStandardArrow[] = {
    "X",           "XX",          "X.X",        "X..X",       "X...X",       "X....X",      "X.....X",
    "X......X",    "X.......X",   "X........X", "X.....XXXXX", "X..X..X",    "X.X X..X",    "XX  X..X",
    "X    X..X",   "     X..X",   "      X..X", "      X..X", "       XX",
};
constexpr int kCursor = 32;
// Plain numbers: the entry registers the cursor before other files' statics may be made.
constexpr int kHotSpotX = 12, kHotSpotY = 0;

std::vector<std::uint32_t> MarginCursor()
{
    std::vector<std::uint32_t> argb(std::size_t(kCursor) * kCursor, 0);
    int y = 0;
    for (const char* row : kStandardArrow) {
        for (int x = 0; row[x]; ++x) {
            const int mirrored = kHotSpotX - x;
            if (row[x] == 'X')
                argb[std::size_t(y) * kCursor + mirrored] = 0xFF000000;
            else if (row[x] == '.')
                argb[std::size_t(y) * kCursor + mirrored] = 0xFFFFFFFF;
        }
        ++y;
    }
    return argb;
}

}

void RegisterLibraryImages()
{
    const std::vector<std::uint32_t> images = MarginImages();
    RegisterBitmapResource(IDB_MARGIN_IMAGES, kImage * kImageCount, kImage, images.data());
    RegisterCursorResource(IDC_MARGIN_CURSOR, kCursor, kCursor, CPoint(kHotSpotX, kHotSpotY), MarginCursor());
}

void UnregisterLibraryImages()
{
    UnregisterCursorResource(IDC_MARGIN_CURSOR);
    UnregisterBitmapResource(IDB_MARGIN_IMAGES);
}

}
