#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

#include "zorkit/platform/sdl/OnScreen.h"
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

}
