#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/sdl/OnScreen.h"
#include "zorkit/platform/ui/Clipboard.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "PatternWnd.h"

namespace {

using zorkit::test::PatternWnd;

struct ScreenSessionTest : ::testing::Test {
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        screen = zorkit::ScreenSession::Start();
        ASSERT_TRUE(screen) << "SDL's dummy video driver should always start";
    }
    void TearDown() override { screen.reset(); }
    std::unique_ptr<zorkit::ScreenSession> screen;
};

TEST_F(ScreenSessionTest, OnlyOneSessionAtATime)
{
    EXPECT_FALSE(zorkit::ScreenSession::Start());
}

TEST_F(ScreenSessionTest, DesktopWindowsFollowVisibleTopLevelWindows)
{
    PatternWnd first, second;
    ASSERT_TRUE(first.CreateAt(CRect(0, 0, 120, 80)));
    ASSERT_TRUE(second.CreateAt(CRect(200, 0, 300, 80)));
    CWnd child;
    ASSERT_TRUE(child.CreateEx(0, AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &first, 5));
    screen->Present();
    EXPECT_EQ(screen->WindowCount(), 2) << "children draw into their top level's window";
    second.ShowWindow(SW_HIDE);
    screen->Present();
    EXPECT_EQ(screen->WindowCount(), 1);
    EXPECT_EQ(screen->ReadScreen(second.m_hWnd), nullptr);
    first.DestroyWindow();
    screen->Present();
    EXPECT_EQ(screen->WindowCount(), 0);
}

TEST_F(ScreenSessionTest, ScreenShowsExactlyTheHeadlessPicture)
{
    PatternWnd wnd;
    ASSERT_TRUE(wnd.CreateAt(CRect(30, 40, 230, 160)));
    zorkit::PumpPendingMessages();
    ASSERT_GT(wnd.paints, 0);
    auto headless = zorkit::CaptureWindow(wnd.m_hWnd);
    auto shown = screen->ReadScreen(wnd.m_hWnd);
    ASSERT_TRUE(headless && shown);
    ASSERT_EQ(shown->Width(), headless->Width());
    ASSERT_EQ(shown->Height(), headless->Height());
    EXPECT_EQ(zorkit::test::FirstDifference(*shown, *headless), CPoint(-1, -1));

    wnd.MoveWindow(30, 40, 150, 90);
    zorkit::PumpPendingMessages();
    shown = screen->ReadScreen(wnd.m_hWnd);
    ASSERT_TRUE(shown);
    EXPECT_EQ(CSize(shown->Width(), shown->Height()), CSize(150, 90)) << "the desktop window follows a resize";
}

// Counts its timer messages.
struct Ticker : PatternWnd {
    int ticks = 0;
    void OnTimer(UINT) { ++ticks; }
    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&PatternWnd::GetThisMessageMap, {zorkit::MapMessage<WM_TIMER>(&Ticker::OnTimer)});
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

// Counts the messages it is given, from any thread.
struct Counter : zorkit::IMessageTarget {
    std::atomic<int> count{0};
    LRESULT HandleMessage(HWND, UINT, WPARAM, LPARAM) override { return ++count; }
};

TEST_F(ScreenSessionTest, LoopWakesForMessagesFromOtherThreads)
{
    Counter counter;
    HWND sink = zorkit::RegisterMessageTarget(&counter);
    // Each post waits for the previous one to be handled, so most of them find the
    // loop asleep in the desktop's event wait.
    std::thread poster([&] {
        for (int i = 0; i < 40; ++i) {
            while (counter.count.load() < i)
                std::this_thread::yield();
            PostMessage(sink, WM_USER, 0, 0);
        }
    });
    Ticker guard;
    ASSERT_TRUE(guard.CreateAt(CRect(0, 0, 50, 50)));
    guard.SetTimer(1, 10000, nullptr);
    EXPECT_TRUE(screen->Run([&] { return counter.count.load() >= 40 || guard.ticks > 0; }));
    poster.join();
    zorkit::UnregisterMessageTarget(sink);
    EXPECT_EQ(guard.ticks, 0) << "posted messages must wake the event wait, not the 10 s guard";
    EXPECT_EQ(counter.count.load(), 40);
}

TEST_F(ScreenSessionTest, TimersEndTheWaitByTheirDeadline)
{
    Ticker ticker;
    ASSERT_TRUE(ticker.CreateAt(CRect(0, 0, 20, 20)));
    ticker.SetTimer(2, 15, nullptr);
    EXPECT_TRUE(screen->Run([&] { return ticker.ticks >= 3; }));
}

TEST_F(ScreenSessionTest, ClipboardTextRoundTripsThroughTheDesktopInGbk)
{
    std::string gbk = zorkit::GbkFromUtf8("通讯端口：COM1");
    HWND owner = nullptr;
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, gbk.size() + 1);
    std::memcpy(GlobalLock(block), gbk.c_str(), gbk.size() + 1);
    GlobalUnlock(block);
    ASSERT_TRUE(SetClipboardData(CF_TEXT, block));
    CloseClipboard();

    ASSERT_TRUE(OpenClipboard(owner));
    HANDLE data = GetClipboardData(CF_TEXT);
    ASSERT_TRUE(data);
    std::string back(static_cast<const char*>(GlobalLock(static_cast<HGLOBAL>(data))));
    GlobalUnlock(static_cast<HGLOBAL>(data));
    CloseClipboard();
    EXPECT_EQ(back, gbk);
}

}
