// Text view painting, checked by the pixels of a real view on the headless backend.
#include <gtest/gtest.h>

#include "tests/editor/TextViewHost.h"

namespace {

using zorkit::test::ViewHost;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kLightBlue = RGB(128, 128, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// How many pixels of a rectangle of the picture have the colour.
int CountColour(const zorkit::Surface& picture, const CRect& area, COLORREF colour)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += picture.GetPixel(x, y) == colour;
    return count;
}

struct TextViewPaint : ::testing::Test {
    void SetUp() override
    {
        host.Show({"plain text", "arrow", "breakpoint", "triangle", "both", "", "ring"});
        lh = host.view.GetLineHeight();
        width = host.Client().Width();
    }
    CRect Line(int line, int left, int right) const { return CRect(left, line * lh, right, (line + 1) * lh); }
    CRect TextArea(int line) const { return Line(line, 20, width); }

    ViewHost<> host;
    int lh = 0;
    int width = 0;
};

TEST_F(TextViewPaint, MarginImagesAndLineColoursFollowTheFlags)
{
    host.buffer.SetLineFlags(1, LINEMARK_ARROW, TRUE);
    host.buffer.SetLineFlags(2, LINEMARK_DOT, TRUE);
    host.buffer.SetLineFlags(3, LINEMARK_TRIANGLE, TRUE);
    host.buffer.SetLineFlags(4, LINEMARK_ARROW | LINEMARK_DOT, TRUE);
    host.buffer.SetLineFlags(6, LINEMARK_RING, TRUE);
    host.view.UpdateWindow();
    auto picture = host.Picture();
    const COLORREF margin = GetSysColor(COLOR_3DLIGHT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);

    EXPECT_EQ(CountColour(*picture, Line(0, 0, 20), margin), 20 * lh) << "no flags: a plain margin";
    EXPECT_EQ(picture->GetPixel(2 + 5, lh + 7), kYellow) << "the arrow's yellow fill";
    EXPECT_EQ(picture->GetPixel(2 + 15, lh + 7), margin) << "transparent around the arrow";
    EXPECT_EQ(picture->GetPixel(width - 1, lh + 3), window) << "the arrow keeps the normal colours";
    EXPECT_GT(CountColour(*picture, TextArea(1), GetSysColor(COLOR_WINDOWTEXT)), 0);

    EXPECT_EQ(picture->GetPixel(2 + 8, 2 * lh + 8), kRed) << "the red disc";
    EXPECT_EQ(picture->GetPixel(width - 1, 2 * lh + 3), kRed) << "red to the right edge";
    EXPECT_GT(CountColour(*picture, TextArea(2), kWhite), 0) << "white text";
    EXPECT_EQ(CountColour(*picture, TextArea(2), GetSysColor(COLOR_WINDOWTEXT)), 0) << "no black text";

    EXPECT_EQ(picture->GetPixel(2 + 6, 3 * lh + 7), kBlue) << "the blue triangle";
    EXPECT_EQ(picture->GetPixel(width - 1, 3 * lh + 3), kLightBlue);

    EXPECT_EQ(picture->GetPixel(2 + 5, 4 * lh + 7), kYellow) << "both flags: the arrow wins the margin";
    EXPECT_EQ(picture->GetPixel(width - 1, 4 * lh + 3), kRed) << "and the dot the colours";

    EXPECT_EQ(picture->GetPixel(2 + 8, 6 * lh + 8), kWhite) << "the ring's white centre";
    EXPECT_EQ(picture->GetPixel(width - 1, 6 * lh + 3), window) << "the ring keeps the normal colours";
    EXPECT_EQ(CountColour(*picture, Line(7, 20, width), window), (width - 20) * lh) << "below the last line";
}

TEST_F(TextViewPaint, SelectionIsShownOnlyWithTheFocus)
{
    // The text is black on white, the selection white on black: a selected area is
    // mostly black, an unselected one mostly white.
    host.view.SetSelection(CPoint(6, 0), CPoint(0, 6));
    host.Repaint();
    const int cw = host.view.GetCharWidthA();
    const CRect selectedText = Line(0, 20 + 6 * cw, 20 + 10 * cw);
    const int area = selectedText.Width() * lh;
    auto unfocused = host.Picture();
    EXPECT_LT(CountColour(*unfocused, selectedText, kBlack), area / 2) << "no highlight without focus";
    EXPECT_EQ(CountColour(*unfocused, Line(5, 20, width), kBlack), 0);

    host.view.SetFocus();
    host.view.UpdateWindow();
    ASSERT_TRUE(TextViewProbe::Focused(host.view));
    auto focused = host.Picture();
    EXPECT_GT(CountColour(*focused, selectedText, kBlack), area / 2) << "selected: black background";
    EXPECT_GT(CountColour(*focused, selectedText, kWhite), 0) << "white text";
    EXPECT_LT(CountColour(*focused, Line(0, 20, 20 + 6 * cw), kBlack), 6 * cw * lh / 2) << "before the start";
    EXPECT_EQ(CountColour(*focused, Line(5, 20, 20 + cw), kBlack), cw * lh) << "an empty selected line: one block";
    EXPECT_EQ(CountColour(*focused, Line(5, 20 + cw, width), kBlack), 0) << "only one character wide";
    EXPECT_EQ(CountColour(*focused, Line(1, 20 + 5 * cw, 20 + 6 * cw), kBlack), cw * lh)
        << "the line end inside the selection";
    EXPECT_EQ(CountColour(*focused, Line(1, 20 + 6 * cw, width), kBlack), 0);
    for (int y = 6 * lh; y < 7 * lh; ++y)
        for (int x = 20; x < width; ++x)
            ASSERT_EQ(focused->GetPixel(x, y), unfocused->GetPixel(x, y)) << "the selection ends before line 6";

    host.frame.SetFocus();
    host.view.UpdateWindow();
    EXPECT_LT(CountColour(*host.Picture(), selectedText, kBlack), area / 2) << "focus gone, highlight gone";
}

TEST_F(TextViewPaint, ScrollingSidewaysMovesTheTextButNotTheMargin)
{
    host.buffer.SetLineFlags(2, LINEMARK_DOT, TRUE);
    host.view.UpdateWindow();
    const int cw = host.view.GetCharWidthA();
    auto before = host.Picture();
    host.view.ScrollToPos(3 * cw, FALSE);
    auto after = host.Picture();
    EXPECT_EQ(after->GetPixel(2 + 8, 2 * lh + 8), kRed) << "the margin image stays";
    for (int y = 0; y < lh; ++y)
        for (int x = 20; x < 20 + 5 * cw; ++x)
            ASSERT_EQ(after->GetPixel(x, y), before->GetPixel(x + 3 * cw, y)) << x << "," << y;
}

}
