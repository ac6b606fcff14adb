#include <gtest/gtest.h>

#include <cstring>

#include "zorkit/platform/ui/ClientDC.h"
#include "GridFixture.h"

namespace {

using zorkit::test::GridTest;

struct TitleTipTest : GridTest {
    void SetUp() override
    {
        GridTest::SetUp();
        grid.SetItemText(2, 2, "a text much wider than forty pixels");
        grid.SetItemText(2, 3, "another text far too wide for its cell");
        grid.SetItemText(0, 0, "a corner heading far too wide");
        grid.SetItemText(0, 2, "a column heading far too wide");
        grid.SetFocus();
        Settle();
    }
    CGridTitleTip& Tip() { return grid.TitleTip(); }
    bool Shown() { return Tip().IsWindowVisible() != FALSE; }
    // The width the tip measures a text with: the grid's font.
    int TextWidth(const char* text)
    {
        CClientDC dc(&grid);
        CFont* old = dc.SelectObject(grid.GetFont());
        const int width = dc.GetTextExtent(text, int(std::strlen(text))).cx;
        dc.SelectObject(old);
        return width;
    }
};

TEST_F(TitleTipTest, ShowsOverACellOnlyWhenItsTextDoesNotFit)
{
    MoveTo(85, 65);
    EXPECT_FALSE(Shown()) << "'3,2' fits its cell";
    MoveTo(85, 45);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(CWnd::GetCapture(), &Tip());
    EXPECT_EQ(Tip().GetExStyle() & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), DWORD(WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    CRect rect;
    Tip().GetWindowRect(&rect);
    const CPoint cell = Screen(80, 40);
    EXPECT_EQ(rect.TopLeft(), cell) << "laid exactly over the cell";
    EXPECT_EQ(rect.Width(), TextWidth("a text much wider than forty pixels") + 6);
    EXPECT_EQ(rect.Height(), 19) << "the cell's inclusive rectangle";
}

TEST_F(TitleTipTest, TheThresholdIsTheTextWidthPlusSix)
{
    // A tip shows when text width + 6 > cell width.
    const char* text = "abcdefghij";
    const int width = TextWidth(text);
    grid.SetItemText(4, 2, text);
    grid.SetColumnWidth(2, width + 6);
    grid.Invalidate();
    Settle();
    MoveTo(85, 85);
    EXPECT_FALSE(Shown()) << "text + 6 equals the cell width";
    grid.SetColumnWidth(2, width + 5);
    MoveTo(86, 86);
    EXPECT_TRUE(Shown());
}

TEST_F(TitleTipTest, CornerCellsNeverGetOneOtherHeadingsDo)
{
    MoveTo(20, 10);
    EXPECT_FALSE(Shown());
    MoveTo(100, 10);
    EXPECT_TRUE(Shown()) << "a column heading";
}

TEST_F(TitleTipTest, LeavingTheCellHidesItAndTheNextLongCellShowsItAgain)
{
    MoveTo(85, 45);
    ASSERT_TRUE(Shown());
    CRect first;
    Tip().GetWindowRect(&first);
    // (2, 3) lies under the tip, which extends to the right; the pointer leaves the title rectangle.
    MoveTo(125, 45);
    EXPECT_TRUE(Shown()) << "the move was forwarded to the grid, which showed the tip again";
    CRect second;
    Tip().GetWindowRect(&second);
    EXPECT_EQ(second.TopLeft(), Screen(120, 40));
    EXPECT_EQ(second.Width(), TextWidth("another text far too wide for its cell") + 6);

    MoveTo(125, 105);
    EXPECT_FALSE(Shown()) << "over a cell whose text fits";
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(TitleTipTest, AClickOnTheTipReachesTheGridAtTheSamePoint)
{
    MoveTo(85, 45);
    ASSERT_TRUE(Shown());
    owner.events.clear();
    Click(90, 48);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2)) << "the grid got the button-down over cell (2, 2)";
    EXPECT_EQ(owner.NotifyCodes().back(), GridNotifyFocusEntered);
}

TEST_F(TitleTipTest, AKeyForTheTipGoesBackToTheGrid)
{
    grid.SetFocusCell(2, 2);
    MoveTo(85, 45);
    ASSERT_TRUE(Shown());
    // A key that reaches the tip (say, while it holds the capture) is the grid's.
    Tip().PostMessage(WM_KEYDOWN, VK_DOWN, 1);
    zorkit::PumpPendingMessages();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2)) << "the grid moved the focus with the key";
}

TEST_F(TitleTipTest, AKeyPressedWhileTheTipShowsHidesItAndTheGridMovesOn)
{
    grid.SetFocusCell(2, 2);
    MoveTo(85, 45);
    ASSERT_TRUE(Shown());
    ASSERT_EQ(CWnd::GetFocus(), &grid) << "keys go to the grid, not to the tip";
    Press(VK_DOWN);
    EXPECT_FALSE(Shown()) << "no tip left over the old cell";
    EXPECT_EQ(CWnd::GetCapture(), nullptr) << "the tip let the mouse go";
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2));
    Click(160, 125);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(6, 4)) << "the next click reaches the grid directly";
}

TEST_F(TitleTipTest, ScrollingHidesTheTipAndNoFocusMeansNoTip)
{
    Grow(30, 6);
    grid.SetItemText(2, 2, "a text much wider than forty pixels");
    MoveTo(85, 45);
    ASSERT_TRUE(Shown());
    grid.SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_FALSE(Shown());

    ::SetFocus(nullptr);
    grid.SendMessage(WM_VSCROLL, SB_LINEUP);
    ::SetFocus(nullptr);
    MoveTo(86, 46);
    EXPECT_FALSE(Shown()) << "no window has the keyboard focus";
    grid.EnableTitleTips(FALSE);
    grid.SetFocus();
    MoveTo(85, 45);
    EXPECT_FALSE(Shown());
}

}
