#include <chrono>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "zorkit/platform/sdl/OnScreen.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "../sdl/PatternWnd.h"
#include "tests/screenshot/ScreenComparison.h"

namespace {

using zorkit::test::PatternWnd;

TEST(Screenshot, DesktopWindowIsPixelEqualToTheHeadlessRendering)
{
    std::string why;
    auto comparison = zorkit::test::ScreenComparison::Start(why);
    if (!comparison)
        GTEST_SKIP() << why;

    const CRect place(30, 40, 230, 160);
    PatternWnd wnd;
    ASSERT_TRUE(wnd.CreateAt(place));
    zorkit::PumpPendingMessages();
    auto headless = zorkit::CaptureWindow(wnd.m_hWnd);
    ASSERT_TRUE(headless);

    // The X server shows the window once it is mapped and drawn: look until then.
    EXPECT_EQ(comparison->WaitUntilShown(place, *headless, std::chrono::seconds(10)), CPoint(-1, -1))
        << "first differing pixel of the window on screen";
    wnd.DestroyWindow();
}

// Records the sizes WM_SIZE reports.
struct SizedPattern : PatternWnd {
    std::vector<CSize> sizes;
    void OnSize(UINT, int cx, int cy) { sizes.emplace_back(cx, cy); }
    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&PatternWnd::GetThisMessageMap, {zorkit::MapMessage<WM_SIZE>(&SizedPattern::OnSize)});
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

TEST(Screenshot, MaximisedWindowTakesTheDesktopsWorkAreaAtOnce)
{
    std::string why;
    // Not the 1024 x 768 a window system without a desktop assumes.
    auto comparison = zorkit::test::ScreenComparison::Start(why, "1280x900x24");
    if (!comparison)
        GTEST_SKIP() << why;
    const CRect area = comparison->Screen()->WorkArea();
    ASSERT_EQ(area, CRect(0, 0, 1280, 900)) << "Xvfb has no panels: its whole screen is usable";

    SizedPattern wnd;
    ASSERT_TRUE(wnd.CreateAt(CRect(30, 40, 230, 160)));
    comparison->Screen()->Present();
    wnd.sizes.clear();
    wnd.ShowWindow(SW_SHOWMAXIMIZED);
    ASSERT_EQ(wnd.sizes.size(), 1u) << "one WM_SIZE, with the final size";
    EXPECT_EQ(wnd.sizes[0], area.Size());
    CRect rect;
    wnd.GetWindowRect(&rect);
    EXPECT_EQ(rect, area);

    // The desktop window shows the maximised picture, not the old one stretched.
    zorkit::PumpPendingMessages();
    auto headless = zorkit::CaptureWindow(wnd.m_hWnd);
    ASSERT_TRUE(headless);
    ASSERT_EQ(CSize(headless->Width(), headless->Height()), area.Size());
    EXPECT_EQ(comparison->WaitUntilShown(area, *headless, std::chrono::seconds(20)), CPoint(-1, -1))
        << "first differing pixel of the maximised window on screen";

    wnd.ShowWindow(SW_RESTORE);
    wnd.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(30, 40, 230, 160));
    wnd.DestroyWindow();
}

}
