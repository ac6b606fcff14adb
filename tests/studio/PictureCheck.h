// Reading a control run's picture: where its red reference line lies.
#pragma once

#include "zorkit/platform/gdi/Surface.h"

namespace zorkit::studio::test {

constexpr COLORREF kReferenceRed = RGB(255, 0, 0);

// Red pixels of row y inside the plot, frame excluded.
inline int RedInRow(const Surface& picture, int y)
{
    int red = 0;
    for (int x = 22; x < 518; ++x)
        red += picture.GetPixel(x, y) == kReferenceRed;
    return red;
}

// The plot spans 20 .. 320 with 0 in the middle (y 170); its full height is the range.
inline int ReferenceRow(double setPoint, double range) { return int(170 - setPoint * 300.0 / range); }

// The line is one pixel high, at `y`, and runs across most of the plot (curves cross it).
inline void ExpectReferenceLineAt(const Surface& picture, int y)
{
    EXPECT_GT(RedInRow(picture, y), 300) << "the set point's line at y = " << y;
    for (int off : {-3, -1, 1, 3})
        EXPECT_LT(RedInRow(picture, y + off), 30) << "no line at y = " << y + off;
}

}
