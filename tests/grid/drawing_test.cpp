#include <gtest/gtest.h>

#include <cstring>

#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/PrintDC.h"
#include "zorkit/grid/BufferedDC.h"
#include "tests/support/TempDir.h"
#include "GridFixture.h"

namespace {

using zorkit::GdiCall;
using zorkit::test::GridTest;

// Runs the grid's painting on a recording memory DC the size of the client area.
struct Recorded {
    CDC dc;
    CBitmap bitmap;
    explicit Recorded(CGridCtrl& grid)
    {
        CRect client;
        grid.GetClientRect(&client);
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height());
        dc.SelectObject(&bitmap);
        dc.StartRecording();
        grid.OnDraw(&dc);
    }
    std::vector<GdiCall> Named(const std::string& name) const
    {
        std::vector<GdiCall> found;
        for (const auto& call : dc.GetRecordedCalls())
            if (call.name == name)
                found.push_back(call);
        return found;
    }
    const GdiCall* Text(const std::string& text) const
    {
        for (const auto& call : dc.GetRecordedCalls())
            if (call.name == "DrawText" && call.text == text)
                return &call;
        return nullptr;
    }
};

TEST_F(GridTest, TheFocusRowAndColumnHeadingsStandOut)
{
    grid.SetFocusCell(3, 2);
    Recorded picture(grid);
    for (const char* heading : {"R3", "C2"}) {
        const GdiCall* call = picture.Text(heading);
        ASSERT_NE(call, nullptr) << heading;
        EXPECT_EQ(call->fontWeight, 400) << heading;
    }
    for (const char* heading : {"R1", "R4", "C1", "C3", "C0"}) {
        const GdiCall* call = picture.Text(heading);
        ASSERT_NE(call, nullptr) << heading;
        EXPECT_EQ(call->fontWeight, 100) << heading;
    }
    const auto edges = picture.Named("DrawEdge");
    ASSERT_EQ(edges.size(), 2u) << "only the two headings of the focus get a raised edge";
    EXPECT_EQ(edges[0].rect, CRect(0, 60, 40, 80)) << "row 3's heading, widened by one pixel";
    EXPECT_EQ(edges[1].rect, CRect(80, 0, 120, 20)) << "column 2's heading";
    const GdiCall* body = picture.Text("3,2");
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->fontWeight, 100) << "the focus cell itself keeps the grid font";

    grid.Invalidate();
    Settle();
    EXPECT_EQ(Pixel(38, 62), GetSysColor(COLOR_3DSHADOW)) << "the raised edge's inner shadow";
    EXPECT_EQ(Pixel(39, 62), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(Pixel(38, 82), grid.GetFixedBkColor()) << "a plain heading has only line borders";
    EXPECT_EQ(Pixel(39, 82), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(Pixel(5, 80), GetSysColor(COLOR_3DHIGHLIGHT));
}

TEST_F(GridTest, CellsAreFramedFilledAndLinedByTheirState)
{
    grid.SetItemState(2, 2, CellSelected);
    grid.SetItemState(4, 4, CellMarked);
    grid.SetFocusCell(3, 3);
    grid.Invalidate();
    Settle();
    // Cell (2, 2) covers x 80..119, y 40..59; its grid lines lie on x 119 and y 59.
    EXPECT_EQ(Pixel(82, 42), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(Pixel(119, 50), grid.GetGridColor());
    EXPECT_EQ(Pixel(100, 59), grid.GetGridColor());
    // The focus cell (3, 3) at 120..159 x 60..79: black frame, background inside.
    EXPECT_EQ(Pixel(120, 60), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(158, 78), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(122, 62), grid.GetTextBkColor());
    // The marked cell (4, 4) at 160..199 x 80..99.
    EXPECT_EQ(Pixel(160, 85), RGB(0, 0, 0));
    EXPECT_EQ(Pixel(162, 85), grid.GetTextBkColor());
    // Outside the cells (x 240 and beyond) the grid's own background.
    EXPECT_EQ(Pixel(260, 100), grid.GetBkColor());

    grid.SetGridLines(GridLinesNone);
    Settle();
    EXPECT_EQ(Pixel(119, 90), grid.GetTextBkColor()) << "no grid lines";
}

TEST_F(GridTest, PaintingVisitsOnlyCellsInsideTheClipBox)
{
    CRect client;
    grid.GetClientRect(&client);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, client.Width(), client.Height());
    dc.SelectObject(&bitmap);
    dc.IntersectClipRect(125, 65, 135, 75);  // inside cell (3, 3)
    dc.StartRecording();
    grid.OnDraw(&dc);
    std::vector<std::string> texts;
    for (const auto& call : dc.GetRecordedCalls())
        if (call.name == "DrawText")
            texts.push_back(call.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"C0", "3,3"})) << "the corner always, then only the cell under the clip";
}

TEST_F(GridTest, DefaultColourCellsFollowTheGridColours)
{
    grid.SetItemBkColour(2, 2, RGB(0, 128, 0));
    grid.SetItemFgColour(2, 2, RGB(1, 2, 3));
    grid.SetTextBkColor(RGB(255, 0, 0));
    grid.Invalidate();
    Settle();
    EXPECT_EQ(Pixel(122, 62), RGB(255, 0, 0)) << "cell (3, 3) takes the grid's text background";
    EXPECT_EQ(Pixel(82, 42), RGB(0, 128, 0)) << "cell (2, 2) keeps its own";
    EXPECT_EQ(grid.GetItemBkColour(3, 3), DefaultColour);

    // A system colour change moves only the colours the host left alone.
    zorkit::SystemSettings::Instance().SetColor(COLOR_WINDOWTEXT, RGB(0, 0, 200));
    zorkit::SystemSettings::Instance().SetColor(COLOR_BTNFACE, RGB(10, 20, 30));
    grid.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(grid.GetTextBkColor(), RGB(255, 0, 0));
    EXPECT_EQ(grid.GetTextColor(), RGB(0, 0, 200));
    EXPECT_EQ(grid.GetFixedBkColor(), RGB(10, 20, 30));
    grid.Invalidate();
    Settle();
    EXPECT_EQ(Pixel(5, 45), RGB(10, 20, 30)) << "heading background follows the button face";

    zorkit::SystemSettings::Instance().SetColor(COLOR_WINDOWTEXT, RGB(0, 200, 0));
    grid.SetFixedTextColor(RGB(7, 7, 7));
    grid.SendMessage(WM_SETTINGCHANGE);
    EXPECT_EQ(grid.GetTextColor(), RGB(0, 200, 0)) << "the cache followed the previous change";
    EXPECT_EQ(grid.GetFixedTextColor(), RGB(7, 7, 7));
}

TEST_F(GridTest, ASettingsChangeKeepsTheGreyOutsideTheCells)
{
    ASSERT_TRUE(grid.SetColumnCount(4));
    Settle();
    EXPECT_EQ(Pixel(250, 100), COLORREF(0xCCCCCC));
    grid.SendMessage(WM_SETTINGCHANGE);
    grid.Invalidate();
    Settle();
    EXPECT_EQ(grid.GetBkColor(), COLORREF(0xCCCCCC));
    EXPECT_EQ(Pixel(250, 100), COLORREF(0xCCCCCC)) << "the background did not darken";

    // A background the host took from the system shadow follows that colour.
    grid.SetBkColor(GetSysColor(COLOR_BTNSHADOW));
    zorkit::SystemSettings::Instance().SetColor(COLOR_BTNSHADOW, RGB(10, 20, 30));
    grid.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(grid.GetBkColor(), RGB(10, 20, 30));
}

TEST_F(GridTest, GeometryOfCellsAndRanges)
{
    CRect rect;
    ASSERT_TRUE(grid.GetCellRect(3, 2, &rect));
    EXPECT_EQ(rect, CRect(80, 60, 119, 79)) << "inclusive rectangles";
    for (CCellID cell : {CCellID(0, 0), CCellID(0, 3), CCellID(4, 0), CCellID(5, 5)}) {
        CRect single, range;
        ASSERT_TRUE(grid.GetCellRect(cell, &single));
        ASSERT_TRUE(grid.GetCellRangeRect(CCellRange(cell.row, cell.col, cell.row, cell.col), &range));
        EXPECT_EQ(range, single) << cell.row << "," << cell.col;
    }
    ASSERT_TRUE(grid.GetCellRangeRect(CCellRange(1, 1, 2, 3), &rect));
    EXPECT_EQ(rect, CRect(40, 20, 159, 59));
    EXPECT_FALSE(grid.GetCellRect(10, 0, &rect));

    EXPECT_EQ(grid.GetCellFromPt(CPoint(85, 65)), CCellID(3, 2));
    EXPECT_EQ(grid.GetCellFromPt(CPoint(5, 5)), CCellID(0, 0));
    EXPECT_EQ(grid.GetCellFromPt(CPoint(5, 5), FALSE), CCellID(-1, -1));
    EXPECT_EQ(grid.GetCellFromPt(CPoint(250, 65)), CCellID(3, -1)) << "right of the last column";
    EXPECT_EQ(grid.GetCellFromPt(CPoint(-1, 65)), CCellID(3, -1));
    EXPECT_EQ(grid.GetVisibleNonFixedCellRange(), CCellRange(1, 1, 9, 5));
}

TEST_F(GridTest, ACellNearTheRightEdgeIsNotVisible)
{
    // Columns 0..3 end at x 160; column 4 at width w puts column 5's left edge at 160 + w.
    grid.SetColumnWidth(4, 129);
    EXPECT_TRUE(grid.IsCellVisible(3, 5)) << "left edge at 289, 11 pixels inside";
    grid.SetColumnWidth(4, 130);
    EXPECT_FALSE(grid.IsCellVisible(3, 5)) << "left edge at 290, within 10 pixels of the edge";
    EXPECT_TRUE(grid.IsCellVisible(3, 4));
    EXPECT_FALSE(grid.IsCellVisible(10, 1)) << "no such cell";
    EXPECT_FALSE(grid.IsCellVisible(-1, -1));
}

TEST_F(GridTest, AutoSizeKeepsTheScrollBarsWhileAutoSizeColumnResetsThem)
{
    grid.SetItemText(2, 2, "a text far wider than the whole grid window is, to need a bar");
    grid.AutoSize();
    EXPECT_GT(grid.GetColumnWidth(2), 300);
    EXPECT_EQ(grid.HScrollMax(), 0) << "AutoSize leaves the bars";
    EXPECT_EQ(grid.GetRowHeight(2), grid.GetTextExtent("a").cy) << "rows take the text height";

    EXPECT_TRUE(grid.AutoSizeColumn(2));
    EXPECT_EQ(grid.HScrollMax(), grid.GetVirtualWidth() - grid.GetFixedColumnWidth() - 1);
    int minPos = -1, maxPos = -1;
    grid.GetScrollRange(SB_HORZ, &minPos, &maxPos);
    EXPECT_EQ(maxPos, grid.HScrollMax());
    EXPECT_FALSE(grid.AutoSizeColumn(6));
    EXPECT_FALSE(grid.AutoSizeRow(-1));
}

TEST_F(GridTest, ACellsExtentIsItsTextPlusTheMarginAndNoCellHasNone)
{
    grid.SetItemText(2, 2, "a longer text");
    CDC* dc = grid.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(grid.GetCellExtent(2, 2, dc), grid.GetTextExtent("a longer text"));
    EXPECT_EQ(grid.GetCellExtent(0, 3, dc), grid.GetTextExtent("C3", TRUE)) << "headings measure in weight 400";
    EXPECT_GT(grid.GetCellExtent(0, 3, dc).cx, 0);
    for (CCellID none : {CCellID(10, 1), CCellID(1, 6), CCellID(-1, 2), CCellID(2, -1), CCellID(1 << 30, 1)})
        EXPECT_EQ(grid.GetCellExtent(none.row, none.col, dc), CSize(0, 0)) << none.row << "," << none.col;
    grid.ReleaseDC(dc);
    EXPECT_EQ(grid.GetCellExtent(2, 2, nullptr), CSize(0, 0)) << "nothing to measure with";
}

// Every cell gets a colour in the model without anything being drawn, so the cells that
// show it afterwards are exactly those that a redraw painted.
TEST_F(GridTest, RedrawRowAndRedrawColumnPaintExactlyTheirCells)
{
    // The owner's first paint covers the grid: start from a whole picture.
    grid.Invalidate();
    Settle();
    const COLORREF red = RGB(200, 0, 0);
    for (int row = 0; row < 10; ++row)
        for (int col = 0; col < 6; ++col)
            grid.SetItemBkColour(row, col, red);
    // A point right of each cell's text, clear of its lines: cell (row, col) spans
    // x 40 col .. 40 col + 39 and y 20 row .. 20 row + 19.
    auto shows = [&](int row, int col) { return Pixel(40 * col + 34, 20 * row + 10) == red; };
    ASSERT_FALSE(shows(3, 2)) << "setting a colour draws nothing";

    EXPECT_TRUE(grid.RedrawRow(3));
    for (int row = 0; row < 10; ++row)
        for (int col = 0; col < 6; ++col)
            EXPECT_EQ(shows(row, col), row == 3) << row << "," << col;
    EXPECT_EQ(Pixel(40 * 6 + 10, 70), grid.GetBkColor()) << "nothing right of the last column";
    EXPECT_EQ(Pixel(119, 70), grid.GetGridColor()) << "the row's cells keep their lines";

    EXPECT_TRUE(grid.RedrawColumn(2));
    for (int row = 0; row < 10; ++row)
        for (int col = 0; col < 6; ++col)
            EXPECT_EQ(shows(row, col), row == 3 || col == 2) << row << "," << col;
    EXPECT_EQ(Pixel(119, 130), grid.GetGridColor());

    grid.RedrawRow(10);
    grid.RedrawColumn(-1);
    grid.RedrawColumn(6);
    for (int col = 0; col < 6; ++col)
        EXPECT_EQ(shows(9, col), col == 2) << "positions outside the grid paint nothing, col " << col;
}

TEST_F(GridTest, ExpandToFitLeavesTheWidthsWhenTheSpareRoomIsTooSmall)
{
    grid.AutoSizeColumns();
    const int fixedWidth = grid.GetFixedColumnWidth();
    grid.MoveWindow(0, 0, fixedWidth + 4, 200);
    grid.AutoSizeColumns();
    std::vector<int> sized;
    for (int col = 0; col < 6; ++col)
        sized.push_back(grid.GetColumnWidth(col));
    grid.ExpandToFit();
    for (int col = 0; col < 6; ++col)
        EXPECT_EQ(grid.GetColumnWidth(col), sized[std::size_t(col)]) << "spare 4 < 6 columns, col " << col;

    grid.MoveWindow(0, 0, fixedWidth + 400, 200);
    grid.ExpandToFit();
    for (int col = 1; col < 6; ++col)
        EXPECT_EQ(grid.GetColumnWidth(col), 80) << "400 pixels shared by five columns";
    EXPECT_EQ(grid.GetColumnWidth(0), fixedWidth);
}

TEST_F(GridTest, TheFontSetsTheDefaultsAndEveryCell)
{
    CFont font;
    LOGFONT lf{};
    lf.lfHeight = 30;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Arial");
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    grid.SendMessage(WM_SETFONT, WPARAM(HFONT(font)), TRUE);

    LOGFONT got{};
    auto handle = reinterpret_cast<HFONT>(grid.SendMessage(WM_GETFONT));
    ASSERT_NE(handle, nullptr);
    ASSERT_TRUE(GetObject(HGDIOBJ(handle), sizeof(LOGFONT), &got));
    EXPECT_EQ(got.lfHeight, 30);
    EXPECT_EQ(grid.GetItemFont(5, 5)->lfHeight, 30);
    EXPECT_EQ(grid.GetItemFont(5, 5)->lfWeight, FW_BOLD);
    EXPECT_EQ(grid.GetRowHeight(5), 20) << "existing rows keep their sizes";

    CDC* dc = grid.GetDC();
    CFont* old = dc->SelectObject(&font);
    TEXTMETRIC tm{};
    dc->GetTextMetrics(&tm);
    const int space = dc->GetTextExtent(" ", 1).cx;
    dc->SelectObject(old);
    grid.ReleaseDC(dc);
    EXPECT_EQ(grid.Margin(), space);
    ASSERT_TRUE(grid.SetRowCount(11));
    EXPECT_EQ(grid.GetRowHeight(10), tm.tmHeight + tm.tmExternalLeading + 2);
}

TEST_F(GridTest, NothingIsDrawnWhileDrawingIsOff)
{
    grid.SetRedraw(FALSE);
    EXPECT_FALSE(grid.RedrawCell(2, 2));
    EXPECT_FALSE(grid.InvalidateCellRect(CCellID(2, 2)));
    grid.SetRowHeight(9, 40);
    grid.ResetScrollBars();
    EXPECT_EQ(grid.VScrollMax(), 0) << "no scroll-bar updates either";
    ClearInvalid();
    grid.SetRedraw(TRUE, TRUE);
    CRect client;
    grid.GetClientRect(&client);
    CRect covered;
    const CRect update = UpdateRect();
    covered.IntersectRect(&client, &update);
    EXPECT_EQ(covered, client) << "allowing drawing again repaints all";
    EXPECT_GT(grid.VScrollMax(), 0);
}

TEST_F(GridTest, InvalidatingCellsCoversTheirLinesToo)
{
    ClearInvalid();
    EXPECT_TRUE(grid.InvalidateCellRect(CCellID(2, 2)));
    EXPECT_EQ(UpdateRect(), CRect(80, 40, 120, 60));
    ClearInvalid();
    EXPECT_TRUE(grid.InvalidateCellRect(CCellRange(0, 0, 3, 2)));
    EXPECT_EQ(UpdateRect(), CRect(40, 20, 120, 80)) << "clipped to the non-fixed cells";
    EXPECT_FALSE(grid.InvalidateCellRect(CCellRange(0, 0, 30, 2)));
}

TEST_F(GridTest, TheBufferComposesOffScreenAndCopiesOnce)
{
    CRect client;
    grid.GetClientRect(&client);
    CDC target;
    target.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&target, client.Width(), client.Height());
    target.SelectObject(&bitmap);
    target.IntersectClipRect(50, 30, 170, 90);
    target.StartRecording();
    {
        CBufferedDC buffered(&target);
        grid.OnDraw(&buffered);
        EXPECT_TRUE(target.GetRecordedCalls().empty()) << "nothing reaches the target before the copy";
    }
    ASSERT_EQ(target.GetRecordedCalls().size(), 1u);
    EXPECT_EQ(target.GetRecordedCalls()[0].name, "BitBlt");
    EXPECT_EQ(target.GetRecordedCalls()[0].rect, CRect(50, 30, 170, 90));
    EXPECT_EQ(target.GetPixel(119, 70), grid.GetGridColor()) << "the cells arrived at their own coordinates";
}

TEST_F(GridTest, PrintingDrawsTheCellsWithoutFocusOrSelectionMarks)
{
    TempDir scratch;
    const std::string path = scratch.File("grid.pdf");
    grid.SetFocusCell(3, 3);
    grid.SetItemState(2, 2, CellSelected);
    CPrintDC printer;
    ASSERT_TRUE(printer.Create(path.c_str()));
    printer.StartDoc("grid");
    printer.StartPage();
    printer.StartRecording();
    {
        CBufferedDC buffered(&printer);
        grid.OnDraw(&buffered);
    }
    printer.EndPage();
    printer.EndDoc();
    int texts = 0;
    for (const auto& call : printer.GetRecordedCalls()) {
        texts += call.name == "DrawText";
        EXPECT_NE(call.name, "Rectangle") << "no focus frame on paper";
        EXPECT_NE(call.name, "BitBlt") << "a printer is drawn on directly";
        if (call.name == "FillSolidRect" || call.name == "FillRect") {
            EXPECT_NE(call.brushColor, GetSysColor(COLOR_HIGHLIGHT)) << "no selection colour on paper";
        }
    }
    EXPECT_EQ(texts, 10 * 6) << "every cell of the page";
}

TEST_F(GridTest, AnExistingWindowBecomesAGridBySubclassing)
{
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, "MFCGridCtrl", nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &owner, 7));
    zorkit::test::GridProbe other(5, 3, 1, 1);
    ASSERT_TRUE(other.SubclassWindow(plain.m_hWnd));
    EXPECT_TRUE(::IsWindow(other.TitleTip().m_hWnd)) << "the title tip comes with the subclassing";
    EXPECT_NE(other.SendMessage(WM_GETFONT), 0) << "the grid font was set";
    EXPECT_GT(other.Margin(), 0);
    EXPECT_EQ(other.GetTextExtent(" ").cx, 2 * other.Margin()) << "the margin is one space wide";
    other.SetItemText(1, 1, "sub");
    other.Invalidate();
    other.UpdateWindow();
    CRect rect;
    ASSERT_TRUE(other.GetCellRect(1, 1, &rect));
    EXPECT_EQ(zorkit::CaptureWindow(other.m_hWnd, true)->GetPixel(rect.right, rect.top + 2), other.GetGridColor())
        << "the subclassed window paints as a grid";
}

}
