#include <gtest/gtest.h>

#include <thread>

#include "zorkit/platform/gdi/SystemSettings.h"
#include "TestWindows.h"

namespace {

using zorkit::test::RecordingWnd;

class SelfDeleting : public RecordingWnd {
public:
    explicit SelfDeleting(bool* deleted) : m_deleted(deleted) {}
    ~SelfDeleting() override { *m_deleted = true; }
    void PostNcDestroy() override { delete this; }

private:
    bool* m_deleted;
};

TEST(WindowTree, ChildrenKeepCreationOrderAndAreFoundById)
{
    RecordingWnd top, a, b;
    ASSERT_TRUE(top.CreateTop(CRect(10, 20, 210, 170)));
    ASSERT_TRUE(a.CreateChild(&top, CRect(0, 0, 50, 50), 1));
    ASSERT_TRUE(b.CreateChild(&top, CRect(60, 0, 110, 50), 2));
    EXPECT_EQ(a.GetParent(), &top);
    EXPECT_EQ(top.GetWindow(GW_CHILD), &a);
    EXPECT_EQ(a.GetNextWindow(), &b);
    EXPECT_EQ(top.GetDlgItem(2), &b);
    EXPECT_EQ(b.GetDlgCtrlID(), 2);
    EXPECT_TRUE(top.IsChild(&b));
    EXPECT_FALSE(a.IsChild(&b));
    EXPECT_EQ(b.GetTopLevelParent(), &top);
}

TEST(WindowTree, CreationFailsWhenOnCreateRefuses)
{
    RecordingWnd wnd;
    wnd.createResult = -1;
    EXPECT_FALSE(wnd.CreateTop(CRect(0, 0, 10, 10)));
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_TRUE(wnd.Saw(WM_NCDESTROY)) << "a refused window is destroyed at once";
}

TEST(WindowTree, UnknownClassFails)
{
    CWnd wnd;
    EXPECT_FALSE(wnd.CreateEx(0, "NoSuchClass", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
}

TEST(WindowTree, ClientAreaLeavesRoomForBordersAndScrollBars)
{
    RecordingWnd top, child;
    ASSERT_TRUE(top.CreateTop(CRect(100, 50, 400, 350)));
    ASSERT_TRUE(child.CreateEx(WS_EX_CLIENTEDGE, zorkit::test::TestClass(), "", WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                               CRect(10, 20, 110, 120), &top, 5));
    CRect client;
    child.GetClientRect(&client);
    int bar = GetSystemMetrics(SM_CXVSCROLL);
    int edge = GetSystemMetrics(SM_CXEDGE);
    EXPECT_EQ(client, CRect(0, 0, 100 - 2 * edge - bar, 100 - 2 * edge));

    CPoint p(0, 0);
    child.ClientToScreen(&p);
    EXPECT_EQ(p, CPoint(100 + 10 + edge, 50 + 20 + edge));
    child.ScreenToClient(&p);
    EXPECT_EQ(p, CPoint(0, 0));
    CRect window;
    child.GetWindowRect(&window);
    EXPECT_EQ(window, CRect(110, 70, 210, 170));
}

TEST(WindowTree, ResizingSendsSizeWithTheNewClientSize)
{
    class Sized : public RecordingWnd {
    public:
        CSize last;
        void OnSize(UINT, int cx, int cy) { last = CSize(cx, cy); }
        static const CMessageMap* GetThisMessageMap()
        {
            static const CMessageMap map(&RecordingWnd::GetThisMessageMap, {zorkit::MapMessage<WM_SIZE>(&Sized::OnSize)});
            return &map;
        }
        const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
    };
    RecordingWnd top;
    Sized child;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 300, 300)));
    ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 100, 80), 1));
    EXPECT_EQ(child.last, CSize(100, 80)) << "creation reports the first size";
    child.MoveWindow(5, 5, 150, 60);
    EXPECT_EQ(child.last, CSize(150, 60));
    child.ModifyStyle(0, WS_HSCROLL, SWP_FRAMECHANGED);
    EXPECT_EQ(child.last, CSize(150, 60 - GetSystemMetrics(SM_CYHSCROLL)));
}

TEST(WindowTree, AMaximisedTopLevelFillsTheScreenAndIsRestoredToItsPlace)
{
    class Sized : public RecordingWnd {
    public:
        std::vector<std::pair<UINT, CSize>> sizes;
        void OnSize(UINT type, int cx, int cy) { sizes.push_back({type, CSize(cx, cy)}); }
        static const CMessageMap* GetThisMessageMap()
        {
            static const CMessageMap map(&RecordingWnd::GetThisMessageMap, {zorkit::MapMessage<WM_SIZE>(&Sized::OnSize)});
            return &map;
        }
        const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
    };
    Sized top;
    ASSERT_TRUE(top.CreateTop(CRect(40, 30, 340, 230)));
    top.sizes.clear();
    top.ShowWindow(SW_SHOWMAXIMIZED);
    const CSize screen(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    ASSERT_EQ(top.sizes.size(), 1u);
    EXPECT_EQ(top.sizes[0], std::make_pair(UINT(SIZE_MAXIMIZED), screen));
    EXPECT_TRUE(top.IsZoomed());
    CRect rect;
    top.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(CPoint(0, 0), screen));
    top.ShowWindow(SW_SHOWMAXIMIZED);
    EXPECT_EQ(top.sizes.size(), 1u) << "maximised once is enough";

    top.ShowWindow(SW_RESTORE);
    ASSERT_EQ(top.sizes.size(), 2u);
    EXPECT_EQ(top.sizes[1], std::make_pair(UINT(SIZE_RESTORED), CSize(300, 200)));
    EXPECT_FALSE(top.IsZoomed());
    top.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(40, 30, 340, 230));

    RecordingWnd child;
    ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 50, 50), 3));
    child.ShowWindow(SW_SHOWMAXIMIZED);
    EXPECT_FALSE(child.IsZoomed()) << "only a top-level window is maximised";
}

TEST(WindowTree, DestroyingRunsDestroyParentFirstAndFreesSelfDeletingObjects)
{
    auto* top = new RecordingWnd;
    ASSERT_TRUE(top->CreateTop(CRect(0, 0, 100, 100)));
    RecordingWnd child;
    ASSERT_TRUE(child.CreateChild(top, CRect(0, 0, 10, 10), 7));
    bool deleted = false;
    auto* popup = new SelfDeleting(&deleted);
    ASSERT_TRUE(popup->CreateChild(&child, CRect(0, 0, 5, 5), 8));
    HWND childHandle = child.m_hWnd;

    top->DestroyWindow();
    EXPECT_EQ(top->events.back(), "destroy 0");
    EXPECT_EQ(child.events.back(), "destroy 7");
    EXPECT_EQ(child.m_hWnd, nullptr) << "the object outlives its window with a cleared handle";
    EXPECT_FALSE(IsWindow(childHandle));
    EXPECT_TRUE(deleted) << "PostNcDestroy deleted the object";
    delete top;
}

TEST(WindowTree, ObjectDestructorDestroysItsWindow)
{
    RecordingWnd top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 100)));
    HWND childHandle;
    {
        RecordingWnd child;
        ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 10, 10), 1));
        childHandle = child.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(childHandle));
    EXPECT_EQ(top.GetWindow(GW_CHILD), nullptr);
}

TEST(WindowTree, WindowFromPointFindsTheDeepestVisibleWindow)
{
    RecordingWnd top, child, hidden;
    ASSERT_TRUE(top.CreateTop(CRect(100, 100, 300, 300)));
    ASSERT_TRUE(child.CreateChild(&top, CRect(10, 10, 60, 60), 1));
    ASSERT_TRUE(hidden.CreateChild(&top, CRect(100, 100, 150, 150), 2, 0));
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(120, 120)), &child);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(210, 210)), &top) << "hidden windows are not found";
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(50, 50)), nullptr);
    hidden.ShowWindow(SW_SHOW);
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(210, 210)), &hidden);
}

TEST(WindowTree, TopmostPopupsStayAboveOtherTopLevelWindows)
{
    RecordingWnd tip, later;
    ASSERT_TRUE(tip.CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, zorkit::test::TestClass(), "", WS_POPUP | WS_VISIBLE,
                             CRect(0, 0, 50, 50), nullptr, 0));
    ASSERT_TRUE(later.CreateTop(CRect(0, 0, 100, 100)));
    EXPECT_EQ(CWnd::WindowFromPoint(CPoint(10, 10)), &tip);
}

}

#ifndef NDEBUG
// Debug builds stop a thread that reaches into another thread's window, at the call.
TEST(WindowTreeDeathTest, UsingAWindowFromAnotherThreadAsserts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RecordingWnd top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 40, 40)));
    const HWND hwnd = top.GetSafeHwnd();
    EXPECT_DEATH(std::thread([hwnd] { ::IsWindowVisible(hwnd); }).join(), "used only on the thread that made it");
    EXPECT_FALSE(::IsWindowVisible(nullptr)) << "the owner thread goes on using the window system";
    EXPECT_TRUE(::IsWindow(hwnd));
    EXPECT_DEATH(std::thread([hwnd] { ::KillTimer(hwnd, 1); }).join(), "used only on the thread that made it")
        << "a window's timers are the window's";
}

// The desktop hands its paint and timer messages to whichever pump asks, so windows on
// a second thread would be served the first thread's messages.
TEST(WindowTreeDeathTest, CreatingAWindowOnASecondThreadAsserts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    RecordingWnd top;
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 40, 40)));
    EXPECT_DEATH(std::thread([] {
        RecordingWnd other;
        other.CreateTop(CRect(0, 0, 20, 20));
    }).join(),
                 "all windows live on one thread");
    RecordingWnd second;
    EXPECT_TRUE(second.CreateTop(CRect(0, 0, 20, 20))) << "the windows' own thread goes on making them";
}
#endif
