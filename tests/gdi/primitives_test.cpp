#include <gtest/gtest.h>

#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/DCStateGuard.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "tests/gdi/Canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

using Pixels = std::set<std::pair<int, int>>;

TEST(Lines, ExcludeTheLastPixelInEveryDirection)
{
    const struct {
        CPoint from, to;
        Pixels expected;
    } cases[] = {
        {{2, 3}, {6, 3}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {{6, 3}, {2, 3}, {{6, 3}, {5, 3}, {4, 3}, {3, 3}}},
        {{4, 1}, {4, 4}, {{4, 1}, {4, 2}, {4, 3}}},
        {{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
        {{4, 1}, {1, 4}, {{4, 1}, {3, 2}, {2, 3}}},
        {{5, 5}, {5, 5}, {}},
    };
    for (const auto& c : cases) {
        Canvas canvas(10, 10);
        canvas.dc.MoveTo(c.from);
        canvas.dc.LineTo(c.to);
        EXPECT_EQ(canvas.Inked(), c.expected) << "line from " << c.from.x << "," << c.from.y;
        EXPECT_EQ(canvas.dc.GetCurrentPosition(), c.to);
    }
}

TEST(Lines, SlopedLineIsConnectedAndOnePixelPerMajorStep)
{
    Canvas canvas(40, 20);
    canvas.dc.MoveTo(0, 0);
    canvas.dc.LineTo(30, 7);
    const Pixels inked = canvas.Inked();
    ASSERT_EQ(inked.size(), 30u);
    int previousY = 0;
    for (int x = 0; x < 30; ++x) {
        int found = -1;
        for (int y = 0; y < 20; ++y)
            if (inked.count({x, y}))
                found = y;
        ASSERT_GE(found, 0) << "no pixel in column " << x;
        EXPECT_LE(found - previousY, 1);
        EXPECT_NEAR(found, x * 7.0 / 30.0, 0.51);
        previousY = found;
    }
}

TEST(Lines, ClippedLinesHitTheSamePixelsAsWholeOnes)
{
    const struct {
        CPoint from, to;
        int style;
    } cases[] = {
        {{0, 0}, {699, 233}, PS_SOLID},
        {{699, 290}, {3, 17}, PS_DOT},
        {{310, 0}, {330, 299}, PS_DASHDOT},
        {{350, 299}, {290, 1}, PS_SOLID},
    };
    for (const auto& c : cases) {
        Canvas whole(700, 300);
        Canvas part(50, 50);
        part.dc.SetWindowOrg(300, 100);
        for (Canvas* canvas : {&whole, &part}) {
            CPen pen(c.style, 1, RGB(0, 0, 0));
            canvas->dc.SelectObject(&pen);
            canvas->dc.SetBkMode(TRANSPARENT);
            canvas->dc.MoveTo(c.from);
            canvas->dc.LineTo(c.to);
        }
        int inked = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) {
                ASSERT_EQ(part.dc.GetPixel(300 + x, 100 + y), whole.dc.GetPixel(300 + x, 100 + y))
                    << "line " << c.from.x << "," << c.from.y << " at " << x << "," << y;
                inked += whole.dc.GetPixel(300 + x, 100 + y) == RGB(0, 0, 0);
            }
        EXPECT_GT(inked, 0) << "the line crosses the part";
    }

    Canvas far(20, 20);
    far.dc.MoveTo(-(1 << 24), -(1 << 24) + 3);
    far.dc.LineTo(1 << 24, (1 << 24) + 3);
    EXPECT_EQ(far.dc.GetPixel(5, 8), RGB(0, 0, 0)) << "a line of 2^25 steps drawn through its visible part";
    EXPECT_EQ(far.Inked().size(), 17u);
}

TEST(Lines, DottedPenAlternatesAndOpaqueModeFillsTheGaps)
{
    Canvas canvas(20, 4);
    CPen dot(PS_DOT, 1, kRed);
    canvas.dc.SelectObject(&dot);
    canvas.dc.SetBkMode(TRANSPARENT);
    canvas.dc.MoveTo(0, 1);
    canvas.dc.LineTo(10, 1);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(canvas.dc.GetPixel(x, 1), x % 2 == 0 ? kRed : kWhite) << "x = " << x;

    canvas.dc.SetBkMode(OPAQUE);
    canvas.dc.SetBkColor(RGB(0, 0, 255));
    canvas.dc.MoveTo(0, 2);
    canvas.dc.LineTo(10, 2);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(canvas.dc.GetPixel(x, 2), x % 2 == 0 ? kRed : RGB(0, 0, 255)) << "x = " << x;
}

TEST(Lines, DotPatternContinuesAcrossJoinedSegments)
{
    Canvas canvas(10, 10);
    CPen dot(PS_DOT, 1, kBlack);
    canvas.dc.SelectObject(&dot);
    canvas.dc.SetBkMode(TRANSPARENT);
    canvas.dc.MoveTo(0, 0);
    canvas.dc.LineTo(3, 0);   // on, off, on
    canvas.dc.LineTo(3, 3);   // continues: off, on, off
    EXPECT_EQ(canvas.Inked(), (Pixels{{0, 0}, {2, 0}, {3, 1}}));
}

TEST(Lines, XorPenTwiceRestoresTheSurface)
{
    Canvas canvas(16, 16);
    canvas.dc.FillSolidRect(0, 0, 8, 16, RGB(12, 34, 56));
    CPen pen(PS_SOLID, 1, RGB(255, 128, 1));
    canvas.dc.SelectObject(&pen);
    canvas.dc.SetROP2(R2_XORPEN);
    canvas.dc.MoveTo(0, 3);
    canvas.dc.LineTo(15, 12);
    EXPECT_EQ(canvas.dc.GetPixel(0, 3), RGB(12 ^ 255, 34 ^ 128, 56 ^ 1));
    canvas.dc.MoveTo(0, 3);
    canvas.dc.LineTo(15, 12);
    EXPECT_EQ(canvas.Count(RGB(12, 34, 56)), 8 * 16);
    EXPECT_EQ(canvas.Count(kWhite), 8 * 16);

    canvas.dc.SetROP2(R2_NOT);
    canvas.dc.MoveTo(9, 0);
    canvas.dc.LineTo(9, 4);
    EXPECT_EQ(canvas.dc.GetPixel(9, 1), kBlack);
}

TEST(Rectangles, ThinPenFramesLeftTopToRightMinusOne)
{
    Canvas canvas(12, 12);
    CBrush fill(kRed);
    canvas.dc.SelectObject(&fill);
    canvas.dc.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(canvas.InkBounds(), CRect(2, 2, 8, 6));
    EXPECT_EQ(canvas.dc.GetPixel(2, 2), kBlack);
    EXPECT_EQ(canvas.dc.GetPixel(7, 5), kBlack);
    EXPECT_EQ(canvas.dc.GetPixel(3, 3), kRed);
    EXPECT_EQ(canvas.dc.GetPixel(6, 4), kRed);
    EXPECT_EQ(canvas.Count(kRed), 4 * 2);
    EXPECT_EQ(canvas.Count(kBlack), 6 * 4 - 4 * 2);
}

TEST(Rectangles, ThreePixelPenIsCentredOnTheThinOutline)
{
    Canvas canvas(40, 40);
    CPen frame(PS_SOLID, 3, RGB(0, 150, 0));
    CBrush black(kBlack);
    canvas.dc.SelectObject(&frame);
    canvas.dc.SelectObject(&black);
    canvas.dc.Rectangle(10, 10, 30, 25);
    EXPECT_EQ(canvas.InkBounds(), CRect(9, 9, 31, 26));
    for (int x : {9, 10, 11, 28, 29, 30})
        EXPECT_EQ(canvas.dc.GetPixel(x, 17), RGB(0, 150, 0)) << "x = " << x;
    EXPECT_EQ(canvas.dc.GetPixel(12, 17), kBlack);
    EXPECT_EQ(canvas.dc.GetPixel(27, 17), kBlack);
    EXPECT_EQ(canvas.dc.GetPixel(9, 9), RGB(0, 150, 0));
    EXPECT_EQ(canvas.Count(kBlack), (27 - 12 + 1) * (22 - 12 + 1));
}

TEST(Rectangles, NullPenFillsOnePixelLessAndNullBrushFillsNothing)
{
    Canvas canvas(12, 12);
    CBrush fill(kRed);
    canvas.dc.SelectStockObject(NULL_PEN);
    canvas.dc.SelectObject(&fill);
    canvas.dc.Rectangle(1, 1, 5, 5);
    EXPECT_EQ(canvas.InkBounds(), CRect(1, 1, 4, 4));

    Canvas hollow(12, 12);
    hollow.dc.SelectStockObject(NULL_BRUSH);
    hollow.dc.Rectangle(1, 1, 6, 6);
    EXPECT_EQ(hollow.Count(kBlack), 16);
    EXPECT_EQ(hollow.dc.GetPixel(3, 3), kWhite);
}

TEST(Fills, ExcludeRightAndBottomAndFollowTheWindowOrigin)
{
    Canvas canvas(12, 12);
    CBrush red(kRed);
    const CRect r(2, 3, 6, 5);
    canvas.dc.FillRect(&r, &red);
    EXPECT_EQ(canvas.InkBounds(), r);

    canvas.dc.SetWindowOrg(-5, -5);
    canvas.dc.FillSolidRect(0, 0, 1, 1, kBlack);
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), kBlack) << "logical (0, 0) reads back through the origin";
    canvas.dc.SetWindowOrg(0, 0);
    EXPECT_EQ(canvas.dc.GetPixel(5, 5), kBlack);
    EXPECT_EQ(canvas.dc.GetBkColor(), kBlack) << "FillSolidRect leaves the background colour set";
}

TEST(Fills, InvertTwiceIsIdentityAndPatBltUsesTheBrush)
{
    Canvas canvas(10, 10);
    canvas.dc.FillSolidRect(0, 0, 5, 10, RGB(1, 2, 3));
    const CRect r(2, 2, 8, 8);
    canvas.dc.InvertRect(&r);
    EXPECT_EQ(canvas.dc.GetPixel(3, 3), RGB(254, 253, 252));
    EXPECT_EQ(canvas.dc.GetPixel(7, 7), kBlack);
    EXPECT_EQ(canvas.dc.GetPixel(8, 8), kWhite);
    canvas.dc.InvertRect(&r);
    EXPECT_EQ(canvas.Count(RGB(1, 2, 3)), 50);
    EXPECT_EQ(canvas.Count(kWhite), 50);

    CBrush blue(RGB(0, 0, 255));
    canvas.dc.SelectObject(&blue);
    canvas.dc.PatBlt(0, 0, 2, 2, PATCOPY);
    canvas.dc.PatBlt(0, 0, 1, 1, PATINVERT);
    EXPECT_EQ(canvas.dc.GetPixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), kBlack);
    canvas.dc.PatBlt(9, 9, 1, 1, BLACKNESS);
    EXPECT_EQ(canvas.dc.GetPixel(9, 9), kBlack);
}

TEST(Fills, FocusRectDrawnTwiceDisappears)
{
    Canvas canvas(12, 12);
    const CRect r(1, 1, 9, 7);
    canvas.dc.DrawFocusRect(&r);
    EXPECT_EQ(canvas.dc.GetPixel(1, 1), kBlack);
    EXPECT_EQ(canvas.dc.GetPixel(2, 1), kWhite);
    EXPECT_EQ(canvas.InkBounds(), CRect(1, 1, 9, 7));
    canvas.dc.DrawFocusRect(&r);
    EXPECT_TRUE(canvas.Inked().empty());
}

TEST(Fills, DrawEdgeUsesTheSystemColoursAndAdjusts)
{
    Canvas canvas(10, 10);
    CRect r(0, 0, 10, 10);
    canvas.dc.DrawEdge(&r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, CRect(2, 2, 8, 8));
    EXPECT_EQ(canvas.dc.GetPixel(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.dc.GetPixel(9, 0), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.dc.GetPixel(9, 9), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.dc.GetPixel(1, 1), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(canvas.dc.GetPixel(8, 8), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(canvas.dc.GetPixel(5, 5), kWhite);
}

TEST(Clipping, NothingIsDrawnOutsideTheClip)
{
    Canvas canvas(20, 20);
    canvas.dc.IntersectClipRect(5, 5, 10, 10);
    CRect box;
    EXPECT_EQ(canvas.dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));
    canvas.dc.FillSolidRect(0, 0, 20, 20, kBlack);
    canvas.dc.MoveTo(0, 7);
    canvas.dc.LineTo(20, 7);
    const int saved = canvas.dc.SaveDC();
    canvas.dc.IntersectClipRect(0, 0, 6, 6);
    canvas.dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 6, 6));
    canvas.dc.RestoreDC(saved);
    canvas.dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));
    canvas.dc.SelectClipRect(nullptr);
    EXPECT_EQ(canvas.InkBounds(), CRect(5, 5, 10, 10));
    EXPECT_EQ(canvas.Count(kBlack), 25);
    EXPECT_FALSE(canvas.dc.PtVisible(-1, 0));
    EXPECT_TRUE(canvas.dc.PtVisible(19, 19));
}

TEST(Clipping, SurfaceRegionDCDrawsOnlyInItsRegionFromItsOrigin)
{
    auto surface = zorkit::Surface::Create(30, 30);
    CDC window;
    ASSERT_TRUE(window.AttachSurface(surface, CPoint(10, 5), CRect(10, 5, 20, 15)));
    window.FillSolidRect(-5, -5, 100, 100, kRed);
    window.SetPixel(0, 0, kWhite);
    CRect box;
    window.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 10, 10));
    EXPECT_EQ(surface->GetPixel(10, 5), kWhite);
    EXPECT_EQ(surface->GetPixel(19, 14), kRed);
    EXPECT_EQ(surface->GetPixel(20, 14), kBlack);
    EXPECT_EQ(surface->GetPixel(9, 5), kBlack);
    EXPECT_EQ(surface->GetPixel(10, 4), kBlack);
    EXPECT_EQ(window.GetPixel(0, 0), kWhite);
    EXPECT_EQ(window.GetPixel(10, 0), CLR_INVALID);
}

TEST(State, RestoreDCBringsBackObjectsColoursAndModes)
{
    Canvas canvas(4, 4);
    CPen red(PS_SOLID, 1, kRed);
    CPen* original = canvas.dc.GetCurrentPen();
    const int level = canvas.dc.SaveDC();
    EXPECT_EQ(level, 1);
    canvas.dc.SelectObject(&red);
    canvas.dc.SetTextColor(kRed);
    canvas.dc.SetBkMode(TRANSPARENT);
    canvas.dc.SetWindowOrg(3, 3);
    canvas.dc.SaveDC();
    EXPECT_TRUE(canvas.dc.RestoreDC(1));
    EXPECT_EQ(canvas.dc.GetCurrentPen(), original);
    EXPECT_EQ(canvas.dc.GetTextColor(), kBlack);
    EXPECT_EQ(canvas.dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(canvas.dc.GetWindowOrg(), CPoint(0, 0));
    EXPECT_FALSE(canvas.dc.RestoreDC(-1)) << "both levels are gone";
}

TEST(State, GuardsPutTheContextBackOnEveryWayOutAndNestInOrder)
{
    Canvas canvas(4, 4);
    CPen* original = canvas.dc.GetCurrentPen();
    CPen red(PS_SOLID, 1, kRed);
    CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    const auto paint = [&](bool leaveEarly) {
        CDCStateGuard outer(&canvas.dc);
        canvas.dc.SelectObject(&red);
        canvas.dc.SetBkMode(TRANSPARENT);
        {
            CDCStateGuard inner(&canvas.dc);
            canvas.dc.SelectObject(&blue);
            canvas.dc.SetViewportOrg(2, 2);
        }
        EXPECT_EQ(canvas.dc.GetCurrentPen(), &red) << "the inner guard restores only its own changes";
        EXPECT_EQ(canvas.dc.GetViewportOrg(), CPoint(0, 0));
        if (leaveEarly)
            return;
        canvas.dc.SetTextColor(kRed);
    };
    paint(true);
    paint(false);
    EXPECT_EQ(canvas.dc.GetCurrentPen(), original);
    EXPECT_EQ(canvas.dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(canvas.dc.GetTextColor(), kBlack);
    EXPECT_FALSE(canvas.dc.RestoreDC(-1)) << "every guard took its level back";
}

}
