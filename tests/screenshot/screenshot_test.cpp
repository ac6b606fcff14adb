#include <chrono>
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/sdl/OnScreen.h"
#include "platform/ui/Input.h"
#include "platform/ui/Snapshot.h"
#include "../sdl/PatternWnd.h"
#include "XvfbServer.h"

namespace {

using zorkit::test::PatternWnd;

// The part of `whole` at `rect`.
std::shared_ptr<zorkit::Surface> Crop(zorkit::Surface& whole, const CRect& rect)
{
    auto part = zorkit::Surface::Create(rect.Width(), rect.Height());
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
            part->Row(y)[x] = whole.Row(rect.top + y)[rect.left + x];
    return part;
}

TEST(Screenshot, DesktopWindowIsPixelEqualToTheHeadlessRendering)
{
    std::string why;
    auto server = zorkit::test::XvfbServer::Start(why);
    if (!server)
        GTEST_SKIP() << why;
    setenv("DISPLAY", server->Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    auto screen = zorkit::ScreenSession::Start();
    ASSERT_TRUE(screen) << "SDL cannot open " << server->Display();

    const CRect place(30, 40, 230, 160);
    PatternWnd wnd;
    ASSERT_TRUE(wnd.CreateAt(place));
    zorkit::PumpPendingMessages();
    auto headless = zorkit::CaptureWindow(wnd.m_hWnd);
    ASSERT_TRUE(headless);

    // The X server shows the window once it is mapped and drawn: look until then.
    CPoint difference(0, 0);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (difference != CPoint(-1, -1) && std::chrono::steady_clock::now() < deadline) {
        screen->Present();
        auto root = server->GrabRoot();
        ASSERT_TRUE(root) << "xwd failed";
        ASSERT_GE(root->Width(), place.right);
        difference = zorkit::test::FirstDifference(*Crop(*root, place), *headless);
    }
    EXPECT_EQ(difference, CPoint(-1, -1)) << "first differing pixel of the window on screen";
    wnd.DestroyWindow();
    screen.reset();
}

}
