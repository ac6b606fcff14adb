#include <gtest/gtest.h>

#include <cstring>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Font.h"
#include "tests/gdi/Canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

LOGFONT Describe(const char* face, LONG height, LONG weight = FW_NORMAL, LONG escapement = 0)
{
    LOGFONT font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfEscapement = escapement;
    font.lfPitchAndFamily = 0x10;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

struct FontCanvas : Canvas {
    FontCanvas(int width, int height, const LOGFONT& description) : Canvas(width, height)
    {
        font.CreateFontIndirect(&description);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
    }
    CFont font;
};

TEST(FontMetrics, PositiveHeightIsTheCellNegativeTheCharacter)
{
    FontCanvas cell(4, 4, Describe("Arial", 16));
    TEXTMETRIC tm;
    ASSERT_TRUE(cell.dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 16);
    EXPECT_EQ(tm.tmAscent, 13);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_GT(tm.tmAveCharWidth, 4);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);

    FontCanvas character(4, 4, Describe("Arial", -16));
    character.dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 16);
    EXPECT_GT(tm.tmHeight, 16);

    FontCanvas standard(4, 4, Describe("System", 0));
    standard.dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 16) << "a zero height gets the default cell";
}

TEST(FontMetrics, FixedSysIsMonospacedAndArialIsNot)
{
    FontCanvas fixed(4, 4, Describe("FixedSys", 16));
    EXPECT_EQ(fixed.dc.GetTextExtent("iiii", 4), fixed.dc.GetTextExtent("WWWW", 4));
    TEXTMETRIC tm;
    fixed.dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmPitchAndFamily & 1, 0) << "fixed pitch clears the variable-pitch bit";

    FontCanvas arial(4, 4, Describe("Arial", 16));
    EXPECT_LT(arial.dc.GetTextExtent("iiii", 4).cx, arial.dc.GetTextExtent("WWWW", 4).cx);
    arial.dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmPitchAndFamily & 1, 1);
}

TEST(TextExtent, IsTheSumOfIntegerAdvancesAndTheCellHeight)
{
    FontCanvas canvas(4, 4, Describe("Arial", 16));
    const char* text = "Sample 123, value -100";
    int sum = 0;
    for (const char* p = text; *p; ++p)
        sum += canvas.dc.GetTextExtent(p, 1).cx;
    const CSize extent = canvas.dc.GetTextExtent(text, -1);
    EXPECT_EQ(extent.cx, sum);
    EXPECT_EQ(extent.cy, 16);
    EXPECT_EQ(canvas.dc.GetTextExtent("", 0), CSize(0, 16));

    CFont bigger;
    LOGFONT big = Describe("Arial", 32);
    bigger.CreateFontIndirect(&big);
    canvas.dc.SelectObject(&bigger);
    EXPECT_NEAR(canvas.dc.GetTextExtent(text, -1).cx, 2 * sum, 4);
}

TEST(Text, DrawnInkLiesInTheCellBelowTheOrigin)
{
    FontCanvas canvas(120, 40, Describe("Arial", 16));
    canvas.dc.SetTextColor(RGB(0, 0, 0));
    canvas.dc.TextOut(10, 12, "Hello", 5);
    const CSize extent = canvas.dc.GetTextExtent("Hello", 5);
    const CRect ink = canvas.InkBounds();
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 10 + extent.cx + 1);
    EXPECT_GE(ink.top, 12);
    EXPECT_LE(ink.bottom, 12 + 13) << "no descenders in Hello: ink ends at the baseline";
    EXPECT_GT(ink.Height(), 8);
}

TEST(Text, OpaqueModeFillsTheCellWithTheBackgroundColour)
{
    FontCanvas canvas(100, 30, Describe("Arial", 16));
    canvas.dc.SetBkMode(OPAQUE);
    canvas.dc.SetBkColor(RGB(0, 0, 255));
    canvas.dc.SetTextColor(RGB(255, 255, 0));
    canvas.dc.TextOut(5, 5, "ab", 2);
    const CSize extent = canvas.dc.GetTextExtent("ab", 2);
    EXPECT_EQ(canvas.InkBounds(), CRect(5, 5, 5 + extent.cx, 5 + 16));
    EXPECT_EQ(canvas.dc.GetPixel(5, 5), RGB(0, 0, 255));
}

TEST(Text, EachInkPixelBlendsWithThePixelUnderIt)
{
    // The same text over two plain backgrounds, and over stripes of both.
    const COLORREF backs[2] = {RGB(255, 255, 255), RGB(30, 90, 200)};
    auto draw = [&](FontCanvas& canvas) {
        canvas.dc.SetTextColor(RGB(200, 0, 0));
        canvas.dc.TextOut(3, 2, "Wave@%", 6);
    };
    FontCanvas plain0(90, 24, Describe("Arial", 18)), plain1(90, 24, Describe("Arial", 18)),
        striped(90, 24, Describe("Arial", 18));
    plain1.dc.FillSolidRect(0, 0, 90, 24, backs[1]);
    for (int x = 1; x < 90; x += 2)
        striped.dc.FillSolidRect(x, 0, 1, 24, backs[1]);
    draw(plain0);
    draw(plain1);
    draw(striped);
    int partial = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 90; ++x) {
            const COLORREF expected = (x % 2 ? plain1 : plain0).dc.GetPixel(x, y);
            ASSERT_EQ(striped.dc.GetPixel(x, y), expected) << x << "," << y;
            partial += expected != backs[x % 2] && expected != RGB(200, 0, 0);
        }
    EXPECT_GT(partial, 10) << "the text has edges blended with the background";
}

TEST(Text, ExtTextOutFillsAndClipsToItsRectangle)
{
    FontCanvas canvas(100, 30, Describe("Arial", 16));
    canvas.dc.SetBkColor(RGB(200, 0, 0));
    const CRect cell(10, 5, 30, 25);
    canvas.dc.ExtTextOut(12, 7, ETO_OPAQUE | ETO_CLIPPED, &cell, "WWWWWWWW", 8, nullptr);
    EXPECT_EQ(canvas.InkBounds(), cell);
    EXPECT_EQ(canvas.dc.GetPixel(10, 5), RGB(200, 0, 0));
}

TEST(Text, ChineseFallsBackPerCharacterToTheCjkFace)
{
    FontCanvas canvas(200, 40, Describe("Arial", 16));
    const std::string wave = zorkit::GbkFromUtf8("波形");
    ASSERT_EQ(wave.size(), 4u);
    const CSize both = canvas.dc.GetTextExtent(wave.c_str(), 4);
    const CSize first = canvas.dc.GetTextExtent(wave.c_str(), 2);
    EXPECT_EQ(both.cx, 2 * first.cx) << "CJK characters share one advance";
    EXPECT_GE(first.cx, 13);
    const std::string mixed = "a" + wave + "b";
    EXPECT_EQ(canvas.dc.GetTextExtent(mixed.c_str(), int(mixed.size())).cx,
              both.cx + canvas.dc.GetTextExtent("ab", 2).cx);

    // Real glyphs differ from character to character; a missing-glyph box would not.
    Canvas left(30, 30), right(30, 30);
    for (auto* target : {&left, &right}) {
        target->dc.SelectObject(&canvas.font);
        target->dc.SetBkMode(TRANSPARENT);
    }
    left.dc.TextOut(0, 0, wave.c_str(), 2);
    right.dc.TextOut(0, 0, wave.c_str() + 2, 2);
    EXPECT_GT(left.Inked().size(), 20u);
    EXPECT_GT(right.Inked().size(), 20u);
    EXPECT_NE(left.Inked(), right.Inked());
}

TEST(Text, BoldChineseIsThickenedBecauseItsFaceHasNoBold)
{
    const std::string wave = zorkit::GbkFromUtf8("波形");
    FontCanvas regular(80, 40, Describe("Arial", 20)), bold(80, 40, Describe("Arial", 20, FW_BOLD));
    regular.dc.TextOut(2, 2, wave.c_str(), 4);
    bold.dc.TextOut(2, 2, wave.c_str(), 4);
    EXPECT_GT(bold.Inked().size(), regular.Inked().size() * 6 / 5) << "the strokes are visibly heavier";
    EXPECT_GE(bold.dc.GetTextExtent(wave.c_str(), 4).cx, regular.dc.GetTextExtent(wave.c_str(), 4).cx);
    EXPECT_NEAR(bold.InkBounds().top, regular.InkBounds().top, 1) << "thickening keeps the text on its line";
}

TEST(Text, EscapementNineHundredRunsUpwardFromTheOrigin)
{
    FontCanvas canvas(60, 120, Describe("Arial", 16, FW_NORMAL, 900));
    canvas.dc.TextOut(20, 100, "Amplitude", 9);
    const CSize extent = canvas.dc.GetTextExtent("Amplitude", 9);
    const CRect ink = canvas.InkBounds();
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 20 + 16);
    EXPECT_LE(ink.bottom, 100 + 1);
    EXPECT_GE(ink.top, 100 - extent.cx - 1);
    EXPECT_GT(ink.Height(), 3 * ink.Width()) << "the text stands on end";
}

TEST(DrawText, AlignsHorizontallyAndVertically)
{
    FontCanvas canvas(200, 40, Describe("Arial", 16));
    const int width = canvas.dc.GetTextExtent("xx", 2).cx;
    CRect rect(0, 0, 200, 40);
    canvas.dc.DrawText("xx", 2, &rect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    CRect ink = canvas.InkBounds();
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 2);
    EXPECT_NEAR(ink.top, (40 - 16) / 2 + 13 - 8, 2) << "x-height ink sits in the centred cell";

    FontCanvas right(200, 40, Describe("Arial", 16));
    right.dc.DrawText("xx", 2, &rect, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    ink = right.InkBounds();
    EXPECT_GE(ink.left, 200 - width);
    EXPECT_LE(ink.bottom, 40 - 3 + 1);

    CRect measure(5, 5, 5, 5);
    EXPECT_EQ(right.dc.DrawText("two\nlines", -1, &measure, DT_CALCRECT), 32);
    EXPECT_EQ(measure, CRect(5, 5, 5 + right.dc.GetTextExtent("lines", 5).cx, 37));
}

TEST(DrawText, EndEllipsisDrawsTheLongestPrefixThatFitsWithDots)
{
    FontCanvas canvas(200, 20, Describe("Arial", 16));
    const char* text = "Temperature setpoint";
    const int width = canvas.dc.GetTextExtent("Temperat", 8).cx + canvas.dc.GetTextExtent("...", 3).cx;
    CRect rect(0, 0, width, 20);
    canvas.dc.DrawText(text, -1, &rect, DT_SINGLELINE | DT_END_ELLIPSIS);

    FontCanvas expected(200, 20, Describe("Arial", 16));
    expected.dc.TextOut(0, 0, "Temperat...", 11);
    EXPECT_EQ(canvas.Inked(), expected.Inked());
}

TEST(DrawText, PrefixAmpersandsAreRemovedUnlessAskedNotTo)
{
    FontCanvas canvas(100, 20, Describe("Arial", 16));
    CRect rect(0, 0, 0, 0);
    canvas.dc.DrawText("&File", -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(rect.Width(), canvas.dc.GetTextExtent("File", 4).cx);
    rect = CRect(0, 0, 0, 0);
    canvas.dc.DrawText("&File", -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(rect.Width(), canvas.dc.GetTextExtent("&File", 5).cx);
}

}

namespace {

TEST(DrawText, WordBreakWrapsAtSpacesToTheRectangleWidth)
{
    FontCanvas canvas(200, 60, Describe("Arial", 16));
    const int widest = std::max(canvas.dc.GetTextExtent("reset key", 9).cx, canvas.dc.GetTextExtent("press the", 9).cx);
    CRect rect(0, 0, widest + 2, 0);
    EXPECT_EQ(canvas.dc.DrawText("press the reset key", -1, &rect, DT_CALCRECT | DT_WORDBREAK), 32);
    EXPECT_EQ(rect.Width(), widest);
    rect = CRect(0, 0, widest - 1, 0);
    EXPECT_EQ(canvas.dc.DrawText("press the reset key", -1, &rect, DT_CALCRECT | DT_WORDBREAK), 48);
    rect = CRect(0, 0, 10, 0);
    EXPECT_EQ(canvas.dc.DrawText("unbreakable", -1, &rect, DT_CALCRECT | DT_WORDBREAK), 16)
        << "a single word longer than the width stays on one line";
}

TEST(Text, UnderlinedFontsDrawALineUnderTheBaselineAcrossTheText)
{
    LOGFONT description = Describe("Arial", 16);
    description.lfUnderline = TRUE;
    FontCanvas canvas(100, 30, description);
    canvas.dc.TextOut(10, 5, "ao", 2);
    const int width = canvas.dc.GetTextExtent("ao", 2).cx;
    int fullRows = 0;
    for (int y = 5 + 13; y < 5 + 16; ++y) {
        bool full = true;
        for (int x = 10; x < 10 + width; ++x)
            full = full && canvas.dc.GetPixel(x, y) == RGB(0, 0, 0);
        fullRows += full;
    }
    EXPECT_GE(fullRows, 1) << "a solid row below the baseline spans the text";
}

}
