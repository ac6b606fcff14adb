// Text view scrolling, split panes and the reaction to buffer changes.
#include <gtest/gtest.h>

#include "zorkit/platform/ui/ScrollBar.h"
#include "zorkit/platform/ui/SplitterWnd.h"
#include "tests/editor/TextViewHost.h"

namespace {

using zorkit::test::NumberedLines;
using zorkit::test::PaintCountingView;
using zorkit::test::ViewHost;

SCROLLINFO ScrollInfoOf(CWnd& wnd, int bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof(SCROLLINFO);
    wnd.GetScrollInfo(bar, &info, SIF_ALL);
    return info;
}

void SendScroll(CWnd& wnd, UINT message, UINT code)
{
    wnd.SendMessage(message, MAKEWPARAM(WORD(code), 0), 0);
}

TEST(TextViewScroll, BarsAreDisabledWhenEverythingFits)
{
    ViewHost<> host(300, 20 * 16);
    host.Show(NumberedLines(10));
    ASSERT_GE(host.view.GetClientLines(), 10);
    SCROLLINFO vertical = ScrollInfoOf(host.view, SB_VERT);
    EXPECT_EQ(vertical.nMax, 9);
    EXPECT_GE(int(vertical.nPage), vertical.nMax + 1) << "the page covers the range";
    EXPECT_TRUE(host.view.GetStyle() & WS_VSCROLL) << "a bar not needed stays, disabled";
    SendScroll(host.view, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 0);
    SendScroll(host.view, WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(TextViewProbe::HorzOffset(host.view), 0);
}

TEST(TextViewScroll, PageDownMovesTheThumbWithTheView)
{
    ViewHost<> host(300, 10 * 16);
    host.Show(NumberedLines(100));
    const int page = host.view.GetClientLines();
    SendScroll(host.view, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(TextViewProbe::TopLine(host.view), page);
    EXPECT_EQ(host.view.GetScrollPos(SB_VERT), page);
    SendScroll(host.view, WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 100 - page);
    SendScroll(host.view, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 100 - page) << "never beyond the last page";
    SendScroll(host.view, WM_VSCROLL, SB_TOP);
    SendScroll(host.view, WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 0);
}

// With the last page shown, lines below the top are deleted: the view shows a full page
// again, and paging on never goes back up.
TEST(TextViewScroll, DeletingLinesBelowTheTopKeepsAFullLastPage)
{
    ViewHost<> host(300, 13 * 16);
    host.Show(NumberedLines(100));
    const int page = host.view.GetClientLines();
    SendScroll(host.view, WM_VSCROLL, SB_BOTTOM);
    ASSERT_EQ(TextViewProbe::TopLine(host.view), 100 - page);
    ASSERT_TRUE(host.buffer.DeleteText(nullptr, CPoint(0, 95), CPoint(0, 98)));
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 97 - page);
    EXPECT_EQ(host.view.GetScrollPos(SB_VERT), 97 - page);
    host.Repaint();
    const int lastRow = (page - 1) * host.view.GetLineHeight();
    int ink = 0;
    for (int y = lastRow; y < lastRow + host.view.GetLineHeight(); ++y)
        for (int x = 20; x < host.Client().right; ++x)
            ink += host.Pixel(x, y) != GetSysColor(COLOR_WINDOW);
    EXPECT_GT(ink, 0) << "the bottom row shows the last line";
    const int top = TextViewProbe::TopLine(host.view);
    SendScroll(host.view, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(TextViewProbe::TopLine(host.view), top);
    SendScroll(host.view, WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(TextViewProbe::TopLine(host.view), top);
}

TEST(TextViewScroll, AOneLineScrollRepaintsOnlyTheUncoveredBand)
{
    ViewHost<PaintCountingView> host(300, 10 * 16);
    host.Show(NumberedLines(100));
    const int page = host.view.GetClientLines();
    host.view.painted.clear();
    SendScroll(host.view, WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(host.view.painted, std::vector<int>{page}) << "only the new bottom line is drawn";
    auto scrolled = host.Picture();
    host.Repaint();
    auto whole = host.Picture();
    for (int y = 0; y < host.Client().Height(); ++y)
        for (int x = 0; x < host.Client().Width(); ++x)
            ASSERT_EQ(scrolled->GetPixel(x, y), whole->GetPixel(x, y)) << x << "," << y;
}

TEST(TextViewScroll, EnsureVisibleScrollsByTheLeastAmount)
{
    ViewHost<> host(200, 5 * 16);
    host.Show({std::string(200, 'w'), "short", "a", "b", "c", "d", "e", "f", "g"});
    CTextView& view = host.view;
    const int cw = view.GetCharWidthA();
    view.EnsureVisible(CPoint(100, 0));
    const int right = view.CalcTxtOffset(CPoint(100, 0)) - view.GetClientWidth() + cw;
    EXPECT_EQ(TextViewProbe::HorzOffset(view), right) << "the position one character inside the right edge";
    EXPECT_EQ(view.GetScrollPos(SB_HORZ), right);
    view.EnsureVisible(CPoint(20, 0));
    EXPECT_EQ(TextViewProbe::HorzOffset(view), 19 * cw) << "one character inside the left edge";
    view.EnsureVisible(CPoint(0, 0));
    EXPECT_EQ(TextViewProbe::HorzOffset(view), 0);

    view.EnsureVisible(CPoint(0, 8));
    EXPECT_EQ(TextViewProbe::TopLine(view), 8 - view.GetClientLines() + 1);
    view.EnsureVisible(CPoint(0, 1));
    EXPECT_EQ(TextViewProbe::TopLine(view), 1);
}

struct SplitPanes : ::testing::Test {
    void SetUp() override
    {
        zorkit::test::FillLines(buffer, NumberedLines(50));
        buffer.InsertLine(std::string(300, 'x').c_str());
        ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 300, 300)));
        ASSERT_TRUE(splitter.CreateStatic(&frame, 2, 1, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
        ASSERT_TRUE(splitter.CreateView(0, 0, RUNTIME_CLASS(CTextView), CSize(200, 120), nullptr));
        ASSERT_TRUE(splitter.CreateView(1, 0, RUNTIME_CLASS(CTextView), CSize(200, 120), nullptr));
        frame.SendMessageToDescendants(WM_INITIALUPDATE);
        for (int row = 0; row < 2; ++row)
            Pane(row).AttachToBuffer(&buffer);
        zorkit::PumpPendingMessages();
    }
    void TearDown() override { splitter.DestroyWindow(); }
    CTextView& Pane(int row) { return *static_cast<CTextView*>(splitter.GetPane(row, 0)); }

    CTextBuf buffer;
    zorkit::test::RecordingWnd frame;
    CSplitterWnd splitter;
};

TEST_F(SplitPanes, PanesInOneColumnFollowSidewaysButNotVertically)
{
    EXPECT_EQ(Pane(1).GetSiblingView(0, 0), &Pane(0));
    EXPECT_EQ(Pane(1).GetSiblingView(0, 1), nullptr);
    Pane(0).EnsureVisible(CPoint(250, 50));
    EXPECT_GT(TextViewProbe::HorzOffset(Pane(0)), 0);
    EXPECT_EQ(TextViewProbe::HorzOffset(Pane(1)), TextViewProbe::HorzOffset(Pane(0)));
    EXPECT_GT(TextViewProbe::TopLine(Pane(0)), 0);
    EXPECT_EQ(TextViewProbe::TopLine(Pane(1)), 0) << "another row keeps its own lines";
    CScrollBar* shared = splitter.GetSharedScrollBar(SB_HORZ, 0, 0);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->GetScrollPos(), TextViewProbe::HorzOffset(Pane(0)));
}

TEST_F(SplitPanes, AttachingEnablesTheSharedBarsByNeed)
{
    CScrollBar* vertical = splitter.GetSharedScrollBar(SB_VERT, 0, 0);
    ASSERT_NE(vertical, nullptr);
    EXPECT_TRUE(vertical->IsWindowEnabled());
    CTextBuf small;
    small.InsertLine("one");
    Pane(0).AttachToBuffer(&small);
    EXPECT_FALSE(vertical->IsWindowEnabled()) << "one line fits";
    EXPECT_FALSE(splitter.GetSharedScrollBar(SB_HORZ, 0, 0)->IsWindowEnabled());
    Pane(0).DetachFromBuffer();
}

// Counts how often each line's text is read.
class ReadCountingView : public CTextView {
public:
    mutable std::vector<int> reads;
    char* GetLineChars(int line) const override
    {
        if (line >= 0 && std::size_t(line) < reads.size())
            ++reads[std::size_t(line)];
        return CTextView::GetLineChars(line);
    }
};

TEST(TextViewUpdate, AChangeMeasuresOnlyTheLinesItRewrote)
{
    ViewHost<ReadCountingView> host(300, 10 * 16);
    host.Show(NumberedLines(100));
    ReadCountingView& view = host.view;
    view.GetMaxLineExtent();
    ASSERT_EQ(TextViewProbe::Extents(view).size(), 100u);
    view.reads.assign(101, 0);
    CPoint end;
    ASSERT_TRUE(host.buffer.InsertText(nullptr, "x\r\ny", CPoint(2, 5), end));
    const std::vector<int>& extents = TextViewProbe::Extents(view);
    ASSERT_EQ(extents.size(), 101u);
    for (int line = 0; line < 101; ++line) {
        const bool rewritten = line == 5 || line == 6;
        EXPECT_EQ(view.reads[std::size_t(line)], rewritten ? 1 : 0) << "line " << line;
        const int measured = extents[std::size_t(line)];
        if (measured >= 0)
            EXPECT_EQ(measured, view.CalcTxtOffset(CPoint(view.GetLineLength(line), line))) << "line " << line;
    }
    CRect dirty;
    view.GetUpdateRect(&dirty);
    EXPECT_EQ(dirty, CRect(0, 5 * view.GetLineHeight(), host.Client().right, host.Client().bottom));
    EXPECT_EQ(ScrollInfoOf(view, SB_VERT).nMax, 100) << "the vertical bar follows the line count";

    view.UpdateWindow();
    ASSERT_TRUE(host.buffer.InsertText(nullptr, "z", CPoint(0, 7), end));
    view.GetUpdateRect(&dirty);
    EXPECT_EQ(dirty, CRect(0, 7 * view.GetLineHeight(), host.Client().right, 8 * view.GetLineHeight()))
        << "a change inside one line repaints that line";
}

TEST(TextViewUpdate, CachedWidthsMoveWithDeletedLinesAndTheWidestIsKept)
{
    ViewHost<ReadCountingView> host(300, 10 * 16);
    std::vector<std::string> lines = NumberedLines(60);
    lines[40] = std::string(70, 'w');
    host.Show(lines);
    ReadCountingView& view = host.view;
    const int widest = view.GetMaxLineExtent();
    view.reads.assign(61, 0);
    ASSERT_TRUE(host.buffer.DeleteText(nullptr, CPoint(3, 10), CPoint(2, 13)));
    EXPECT_EQ(view.GetMaxLineExtent(), widest);
    int reads = 0;
    for (int count : view.reads)
        reads += count;
    EXPECT_EQ(reads, 1) << "only the joined line is measured";
    const std::vector<int>& extents = TextViewProbe::Extents(view);
    ASSERT_EQ(extents.size(), 57u);
    for (int line = 0; line < 57; ++line)
        if (extents[std::size_t(line)] >= 0)
            EXPECT_EQ(extents[std::size_t(line)], view.CalcTxtOffset(CPoint(view.GetLineLength(line), line)))
                << "line " << line;
    ASSERT_TRUE(host.buffer.DeleteText(nullptr, CPoint(0, 36), CPoint(0, 38)));
    int remaining = 0;
    for (int line = 0; line < view.GetLineCount(); ++line)
        remaining = std::max(remaining, view.CalcTxtOffset(CPoint(view.GetLineLength(line), line)));
    ASSERT_LT(remaining, widest);
    EXPECT_EQ(view.GetMaxLineExtent(), remaining) << "the widest line went";
}

TEST(TextViewUpdate, TheWidestLineFollowsChangesInsideOneLine)
{
    ViewHost<> host(300, 10 * 16);
    host.Show({"aaaa", "bbbbbbbb", "cc"});
    CTextView& view = host.view;
    const int cw = view.GetCharWidthA();
    ASSERT_EQ(view.GetMaxLineExtent(), 8 * cw);
    CPoint end;
    auto widest = [&] { return view.GetMaxLineExtent(); };
    host.buffer.InsertText(nullptr, "xx", CPoint(0, 0), end);
    EXPECT_EQ(widest(), 8 * cw) << "a narrower line grew, still narrower";
    host.buffer.InsertText(nullptr, "xxxx", CPoint(0, 0), end);
    EXPECT_EQ(widest(), 10 * cw) << "a narrower line became the widest";
    host.buffer.InsertText(nullptr, "y", CPoint(0, 0), end);
    EXPECT_EQ(widest(), 11 * cw) << "the widest line grew";
    host.buffer.DeleteText(nullptr, CPoint(0, 0), CPoint(6, 0));
    EXPECT_EQ(widest(), 8 * cw) << "the widest line shrank: all lines are measured again";
    host.buffer.DeleteText(nullptr, CPoint(0, 1), CPoint(8, 1));
    EXPECT_EQ(widest(), 5 * cw);
    EXPECT_EQ(ScrollInfoOf(view, SB_HORZ).nMax, 5 * cw + cw) << "the bar's range follows";
}

TEST(TextViewUpdate, AnInsertionAboveTheTopLineKeepsTheVisibleText)
{
    ViewHost<> host(300, 10 * 16);
    host.Show(NumberedLines(100));
    host.view.ScrollToLine(20, TRUE);
    TextViewProbe::SetCursor(host.view, CPoint(3, 25));
    CPoint end;
    ASSERT_TRUE(host.buffer.InsertText(nullptr, "a\r\nb\r\nc", CPoint(0, 4), end));
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 22);
    EXPECT_EQ(TextViewProbe::Cursor(host.view), CPoint(3, 27));
    ASSERT_TRUE(host.buffer.DeleteText(nullptr, CPoint(0, 21), CPoint(0, 30)));
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 21) << "the top line was deleted: the text after it shows";
    EXPECT_EQ(TextViewProbe::Cursor(host.view), CPoint(0, 21));
}

TEST(TextViewUpdate, PositionsNeverPointPastTheTextAfterAChange)
{
    ViewHost<> host(300, 5 * 16);
    host.Show(NumberedLines(40));
    host.view.ScrollToLine(30, TRUE);
    TextViewProbe::SetCursor(host.view, CPoint(7, 39));
    host.view.SetSelection(CPoint(2, 35), CPoint(7, 39));
    // The text is replaced behind the views' backs, then a change is reported.
    host.buffer.FreeAll();
    host.buffer.InsertLine("ab");
    host.buffer.UpdateViews(nullptr, nullptr, TBU_LINECOUNT | TBU_WIDTH, 0);
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 0);
    EXPECT_EQ(TextViewProbe::Cursor(host.view), CPoint(2, 0));
    CPoint start, end;
    host.view.GetSelection(start, end);
    EXPECT_EQ(start, CPoint(2, 0));
    EXPECT_EQ(end, CPoint(2, 0));
    host.view.SetFocus();
    host.view.UpdateWindow();
    EXPECT_EQ(host.view.GetMaxLineExtent(), host.view.CalcTxtExtent("ab", 2).cx);
}

TEST(TextViewUpdate, AResizeDropsTheCachedBitmapAndScrollsBackWhenAllFits)
{
    ViewHost<> host(300, 5 * 16);
    host.Show(NumberedLines(12));
    host.view.ScrollToLine(4, TRUE);
    host.Repaint();
    EXPECT_TRUE(TextViewProbe::HasCachedBitmap(host.view));
    host.view.MoveWindow(0, 0, 300, 20 * 16);
    EXPECT_FALSE(TextViewProbe::HasCachedBitmap(host.view));
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 0) << "twelve lines fit in twenty";
    EXPECT_GE(host.view.GetClientLines(), 12);
    host.view.UpdateWindow();
    EXPECT_TRUE(TextViewProbe::HasCachedBitmap(host.view));
}

TEST(TextViewUpdate, AResetHintResetsTheView)
{
    ViewHost<> host(300, 5 * 16);
    host.Show(NumberedLines(30));
    host.view.SetTabSize(8);
    host.view.ScrollToLine(10, TRUE);
    host.buffer.FreeAll();
    host.buffer.InitNew();
    EXPECT_EQ(TextViewProbe::TopLine(host.view), 0);
    EXPECT_EQ(host.view.GetTabSize(), 4);
    EXPECT_EQ(ScrollInfoOf(host.view, SB_VERT).nMax, 0);
}

}
