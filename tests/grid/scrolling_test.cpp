#include <gtest/gtest.h>

#include <cstdlib>

#include "GridFixture.h"

namespace {

using zorkit::test::GridProbe;
using zorkit::test::GridTest;

// Every client pixel of the grid as it stands.
std::vector<COLORREF> Pixels(CGridCtrl& grid)
{
    auto surface = zorkit::CaptureWindow(grid.m_hWnd, true);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < surface->Height(); ++y)
        for (int x = 0; x < surface->Width(); ++x)
            pixels.push_back(surface->GetPixel(x, y));
    return pixels;
}

struct ScrollingGrid : GridTest {
    // 40 rows and 12 columns: both bars are needed.
    void SetUp() override
    {
        GridTest::SetUp();
        Grow(40, 12);
    }
    void Scroll(UINT message, UINT code) { grid.SendMessage(message, code, 0); }
    // A full repaint at the present position must look the same as what scrolling left.
    void ExpectSameAsFullRepaint(const char* what)
    {
        Settle();
        const auto scrolled = Pixels(grid);
        grid.Invalidate();
        Settle();
        const auto full = Pixels(grid);
        CRect client;
        grid.GetClientRect(&client);
        int shown = 0;
        for (std::size_t i = 0; i < full.size() && shown < 8; ++i)
            if (full[i] != scrolled[i]) {
                ++shown;
                ADD_FAILURE() << what << ": pixel (" << i % std::size_t(client.Width()) << ", "
                              << i / std::size_t(client.Width()) << ") was " << std::hex << scrolled[i] << ", is "
                              << full[i];
            }
    }
};

TEST_F(GridTest, TheVerticalRangeIsZeroUntilTheRowsNoLongerFit)
{
    // Nine non-fixed rows of 20 fill the 180 pixels below the heading exactly.
    EXPECT_EQ(grid.VScrollMax(), 0);
    EXPECT_FALSE(grid.GetStyle() & WS_VSCROLL);
    grid.SetRowHeight(9, 21);
    grid.ResetScrollBars();
    EXPECT_EQ(grid.VScrollMax(), 201 - 20 - 1) << "total - fixed - 1";
    int minPos = -1, maxPos = -1;
    grid.GetScrollRange(SB_VERT, &minPos, &maxPos);
    EXPECT_EQ(minPos, 0);
    EXPECT_EQ(maxPos, 180);
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_PAGE, 0, 0, 0, 0, 0};
    grid.GetScrollInfo(SB_VERT, &si);
    EXPECT_EQ(si.nPage, 180u) << "a page is the non-fixed height";
    EXPECT_TRUE(grid.GetStyle() & WS_VSCROLL);
    EXPECT_EQ(grid.HScrollMax(), 0) << "the columns still fit beside the bar";
}

TEST_F(ScrollingGrid, LineScrollingMovesThePixelsAndRepaintsOnlyTheStrip)
{
    CRect client;
    grid.GetClientRect(&client);
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 20);
    EXPECT_EQ(UpdateRect(), CRect(0, client.bottom - 20, client.right, client.bottom))
        << "only the uncovered strip is invalid";
    EXPECT_EQ(grid.GetTopleftNonFixedCell(), CCellID(2, 1));
    ExpectSameAsFullRepaint("after a line down");

    Scroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(grid.GetScrollPos32(SB_HORZ), 40);
    EXPECT_EQ(UpdateRect(), CRect(client.right - 40, 0, client.right, client.bottom));
    ExpectSameAsFullRepaint("after a line right");

    Scroll(WM_HSCROLL, SB_LINELEFT);
    EXPECT_EQ(UpdateRect(), CRect(40, 0, 80, client.bottom));
    Scroll(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(grid.GetTopleftNonFixedCell(), CCellID(1, 1));
    ExpectSameAsFullRepaint("back at the top");
}

TEST_F(ScrollingGrid, ScrollingPastTheEndChangesAndInvalidatesNothing)
{
    Scroll(WM_VSCROLL, SB_BOTTOM);
    Scroll(WM_HSCROLL, SB_RIGHT);
    Settle();
    const int vertical = grid.GetScrollPos32(SB_VERT);
    const int horizontal = grid.GetScrollPos32(SB_HORZ);
    EXPECT_GT(vertical, 0);
    EXPECT_GT(horizontal, 0);
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    Scroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), vertical);
    EXPECT_EQ(grid.GetScrollPos32(SB_HORZ), horizontal);
    EXPECT_TRUE(UpdateRect().IsRectEmpty()) << UpdateRect().left << "," << UpdateRect().top;

    CRect client;
    grid.GetClientRect(&client);
    const CCellRange visible = grid.GetVisibleNonFixedCellRange();
    EXPECT_EQ(visible.GetMaxRow(), 39) << "the last row is in view";
    EXPECT_EQ(visible.GetMaxCol(), 11);
}

TEST_F(ScrollingGrid, PagesThumbsAndEnds)
{
    CRect client;
    grid.GetClientRect(&client);
    const int page = client.Height() - 20;
    Scroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), page);
    EXPECT_EQ(UpdateRect(), CRect(0, 20, client.right, client.bottom));
    Scroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 0);
    Scroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 0);

    SCROLLINFO si{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 100};
    grid.SetScrollInfo(SB_HORZ, &si, FALSE);
    Scroll(WM_HSCROLL, SB_THUMBTRACK);
    EXPECT_EQ(grid.GetScrollPos32(SB_HORZ), 100);
    EXPECT_EQ(grid.GetTopleftNonFixedCell().col, 1 + 3) << "the first column whose edge reaches 100";
    ExpectSameAsFullRepaint("after dragging the thumb");

    Scroll(WM_HSCROLL, SB_LEFT);
    EXPECT_EQ(grid.GetScrollPos32(SB_HORZ), 0);
    Scroll(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(grid.GetVisibleNonFixedCellRange().GetMaxRow(), 39);
    ExpectSameAsFullRepaint("at the bottom");
}

TEST_F(ScrollingGrid, ScrolledOutCellsHaveNoOrigin)
{
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    Scroll(WM_VSCROLL, SB_LINEDOWN);
    CPoint origin;
    EXPECT_FALSE(grid.GetCellOrigin(2, 3, &origin));
    EXPECT_FALSE(grid.IsCellVisible(2, 3));
    ASSERT_TRUE(grid.GetCellOrigin(3, 3, &origin));
    EXPECT_EQ(origin, CPoint(120, 20));
    ASSERT_TRUE(grid.GetCellOrigin(0, 3, &origin)) << "fixed rows do not scroll";
    EXPECT_EQ(origin, CPoint(120, 0));
    EXPECT_EQ(grid.GetCellFromPt(CPoint(125, 25)), CCellID(3, 3));
}

TEST_F(ScrollingGrid, RedrawRowAndRedrawColumnPaintOnlyWhatIsInView)
{
    for (int i = 0; i < 5; ++i)
        Scroll(WM_VSCROLL, SB_LINEDOWN);
    for (int i = 0; i < 3; ++i)
        Scroll(WM_HSCROLL, SB_LINERIGHT);
    ClearInvalid();
    ASSERT_EQ(grid.GetTopleftNonFixedCell(), CCellID(6, 4));
    const auto before = Pixels(grid);
    const COLORREF red = RGB(200, 0, 0);
    for (int row = 0; row < 40; ++row)
        for (int col = 0; col < 12; ++col)
            grid.SetItemBkColour(row, col, red);

    grid.RedrawRow(3);
    grid.RedrawColumn(2);
    EXPECT_TRUE(Pixels(grid) == before) << "row 3 and column 2 are scrolled out: nothing is painted";

    // Row 8 is the third row shown (y 60..79); column 5 the second column shown (x 80..119).
    grid.RedrawRow(8);
    grid.RedrawColumn(5);
    CRect client;
    grid.GetClientRect(&client);
    for (int y = 10; y < client.bottom; y += 20)
        for (int x = 34; x < client.right; x += 40) {
            const bool inRow = y == 70, inColumn = x == 114;
            EXPECT_EQ(Pixel(x, y) == red, inRow || inColumn) << x << "," << y;
        }
}

TEST_F(ScrollingGrid, TheTopLeftCellIsTheFirstWhoseEdgeReachesThePositionWhereverTheScrollCameFrom)
{
    std::srand(7);
    for (int row = 0; row < 40; ++row)
        grid.SetRowHeight(row, std::rand() % 3 == 0 ? 0 : 1 + std::rand() % 30);
    grid.ResetScrollBars();
    for (int step = 0; step < 300; ++step) {
        if (step % 50 == 49)
            grid.SetRowHeight(1 + std::rand() % 39, std::rand() % 30);
        SCROLLINFO si{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, std::rand() % (grid.VScrollMax() + 1)};
        grid.SetScrollInfo(SB_VERT, &si, FALSE);
        grid.SendMessage(WM_VSCROLL, SB_THUMBTRACK);
        const int pos = grid.GetScrollPos32(SB_VERT);
        int expected = 1;
        for (int y = 0; y < pos && expected < 39;)
            y += grid.GetRowHeight(expected++);
        ASSERT_EQ(grid.GetTopleftNonFixedCell().row, expected) << "position " << pos << ", step " << step;
    }
}

// A host that lays out a second grid whenever the first one's size changes: the second
// grid's bars follow its rows even while the first grid is resetting its own.
TEST_F(GridTest, AGridUpdatedWhileAnotherResetsItsBarsGetsItsOwnBars)
{
    GridProbe second(1, 3, 1, 1);
    ASSERT_TRUE(second.Create(CRect(0, 0, 100, 100), &owner, kGridId + 1));
    bool laidOut = false;
    grid.onMessage = [&](UINT message, WPARAM, LPARAM) {
        if (message == WM_SIZE && !laidOut) {
            laidOut = true;
            second.SetRowCount(40);
        }
    };
    Grow(30, 6);
    grid.onMessage = nullptr;
    ASSERT_TRUE(laidOut) << "the first grid's bar appeared and changed its size";
    EXPECT_GT(grid.VScrollMax(), 0);
    EXPECT_GT(second.VScrollMax(), 0) << "40 rows do not fit 100 pixels";
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
    ASSERT_TRUE(second.GetScrollInfo(SB_VERT, &info, SIF_RANGE));
    EXPECT_EQ(info.nMax, second.VScrollMax());
}

TEST_F(ScrollingGrid, ResizingTheGridResetsTheBars)
{
    grid.MoveWindow(0, 0, 600, 1000);
    EXPECT_EQ(grid.VScrollMax(), 0);
    EXPECT_EQ(grid.HScrollMax(), 0);
    EXPECT_FALSE(grid.GetStyle() & (WS_VSCROLL | WS_HSCROLL));
    grid.MoveWindow(0, 0, 100, 100);
    EXPECT_EQ(grid.VScrollMax(), 39 * 20 - 1);
    EXPECT_EQ(grid.HScrollMax(), 11 * 40 - 1);
}

TEST_F(ScrollingGrid, DeletingEverythingBringsTheBarsBackToTheStart)
{
    grid.SendMessage(WM_VSCROLL, SB_BOTTOM);
    grid.SendMessage(WM_HSCROLL, SB_RIGHT);
    ASSERT_GT(grid.GetScrollPos32(SB_VERT), 0);
    ASSERT_TRUE(grid.DeleteAllItems());
    EXPECT_EQ(grid.VScrollMax(), 0);
    EXPECT_EQ(grid.HScrollMax(), 0);
    for (int bar : {SB_VERT, SB_HORZ}) {
        SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
        grid.GetScrollInfo(bar, &info, SIF_ALL);
        EXPECT_EQ(info.nMax, 0) << bar;
        EXPECT_EQ(info.nPos, 0) << bar;
    }
    EXPECT_FALSE(grid.GetStyle() & (WS_VSCROLL | WS_HSCROLL)) << "nothing left to scroll";
}

}
