#include <gtest/gtest.h>

#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "zorkit/platform/ui/SplitterWnd.h"
#include "TestWindows.h"

namespace {

class PaneView : public CView {
    DECLARE_DYNCREATE(PaneView)
public:
    int draws = 0;
    int initialUpdates = 0;
    std::vector<std::string> scrolls;

    void OnDraw(CDC* dc) override
    {
        ++draws;
        CRect client;
        GetClientRect(&client);
        dc->FillSolidRect(&client, RGB(0, 128, 0));
    }
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        CView::OnInitialUpdate();
    }
    void OnVScroll(UINT code, UINT, CScrollBar* bar) { scrolls.push_back("v" + std::to_string(code) + (bar ? " bar" : "")); }
    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&CView::GetThisMessageMap, {zorkit::MapMessage<WM_VSCROLL>(&PaneView::OnVScroll)});
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};
IMPLEMENT_DYNCREATE(PaneView, CView)

struct SplitterTest : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(frame.CreateTop(CRect(0, 0, 400, 300)));
        ASSERT_TRUE(splitter.CreateStatic(&frame, 2, 2, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c)
                ASSERT_TRUE(splitter.CreateView(r, c, RUNTIME_CLASS(PaneView), CSize(150, 100), nullptr));
    }
    PaneView* Pane(int r, int c) { return static_cast<PaneView*>(splitter.GetPane(r, c)); }

    zorkit::test::RecordingWnd frame;
    CSplitterWnd splitter;
};

TEST_F(SplitterTest, PanesAreNumberedByRowAndColumn)
{
    EXPECT_EQ(Pane(1, 0)->GetDlgCtrlID(), 0xE900 + 16);
    EXPECT_EQ(Pane(0, 1)->GetDlgCtrlID(), 0xE901);
    int row = -1, col = -1;
    ASSERT_TRUE(splitter.IsChildPane(Pane(1, 1), &row, &col));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    CRect a, b;
    Pane(0, 0)->GetWindowRect(&a);
    Pane(0, 1)->GetWindowRect(&b);
    EXPECT_EQ(a.Width(), 150);
    EXPECT_EQ(b.left, a.right + CSplitterWnd::kGap);
    CRect whole;
    splitter.GetClientRect(&whole);
    EXPECT_EQ(b.right, whole.right - GetSystemMetrics(SM_CXVSCROLL)) << "the last column takes the rest";
}

TEST_F(SplitterTest, PanesShareTheScrollBarsOfTheirRowAndColumn)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 10, 40, 0};
    Pane(0, 0)->SetScrollInfo(SB_HORZ, &info);
    EXPECT_EQ(Pane(1, 0)->GetScrollPos(SB_HORZ), 40) << "same column, same bar";
    EXPECT_EQ(Pane(0, 1)->GetScrollPos(SB_HORZ), 0) << "another column";
    EXPECT_FALSE(Pane(0, 0)->GetStyle() & WS_HSCROLL) << "the pane has no bar of its own";

    CScrollBar* rowBar = splitter.GetSharedScrollBar(SB_VERT, 1, 0);
    ASSERT_NE(rowBar, nullptr);
    splitter.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), reinterpret_cast<LPARAM>(rowBar->m_hWnd));
    EXPECT_EQ(Pane(1, 0)->scrolls, std::vector<std::string>{"v1 bar"});
    EXPECT_EQ(Pane(1, 1)->scrolls, std::vector<std::string>{"v1 bar"});
    EXPECT_TRUE(Pane(0, 0)->scrolls.empty());
}

TEST_F(SplitterTest, InitialUpdateAndPaintingReachEveryPane)
{
    frame.SendMessageToDescendants(WM_INITIALUPDATE);
    zorkit::PumpPendingMessages();
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(Pane(r, c)->initialUpdates, 1);
            EXPECT_GE(Pane(r, c)->draws, 1);
        }
    auto picture = zorkit::CaptureWindow(Pane(1, 1)->m_hWnd, true);
    EXPECT_EQ(picture->GetPixel(5, 5), RGB(0, 128, 0));
}

TEST_F(SplitterTest, ClickingAViewGivesItTheFocus)
{
    CRect r;
    Pane(1, 1)->GetWindowRect(&r);
    zorkit::InjectInput({zorkit::InputKind::ButtonDown, r.CenterPoint()});
    zorkit::InjectInput({zorkit::InputKind::ButtonUp, r.CenterPoint()});
    zorkit::PumpPendingMessages();
    EXPECT_EQ(CWnd::GetFocus(), Pane(1, 1));
}

TEST_F(SplitterTest, DestroyingTheSplitterFreesItsViews)
{
    HWND pane = Pane(0, 0)->m_hWnd;
    splitter.DestroyWindow();
    EXPECT_FALSE(IsWindow(pane));
}

}
