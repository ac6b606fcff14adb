#include <chrono>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "graph/Graph.h"
#include "platform/sdl/OnScreen.h"
#include "platform/ui/Input.h"
#include "platform/ui/Snapshot.h"
#include "platform/ui/WindowClass.h"
#include "tests/screenshot/XvfbServer.h"
#include "tests/sdl/PatternWnd.h"

namespace {

std::shared_ptr<zorkit::Surface> Crop(zorkit::Surface& whole, const CRect& rect)
{
    auto part = zorkit::Surface::Create(rect.Width(), rect.Height());
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
            part->Row(y)[x] = whole.Row(rect.top + y)[rect.left + x];
    return part;
}

TEST(GraphOnScreen, DesktopWindowShowsTheHeadlessPicture)
{
    std::string why;
    auto server = zorkit::test::XvfbServer::Start(why);
    if (!server)
        GTEST_SKIP() << why;
    setenv("DISPLAY", server->Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    auto screen = zorkit::ScreenSession::Start();
    ASSERT_TRUE(screen) << "SDL cannot open " << server->Display();

    SAMPLES measured, output;
    DATA curves[2];
    curves[0].samples = &measured;
    curves[0].name = "T";
    curves[0].color = RGB(255, 255, 0);
    curves[1].samples = &output;
    curves[1].name = "U";
    curves[1].color = RGB(0, 255, 255);
    CGraph graph;
    graph.AddData(&curves[0]);
    graph.AddData(&curves[1]);
    graph.SetSize(500);
    for (int i = 0; i < 400; ++i) {
        measured.Add(60.0 * (1.0 - std::exp(-i / 80.0)));
        output.Add(90.0 * std::exp(-i / 60.0));
    }
    const CRect place(20, 30, 20 + 580, 30 + 340);
    ASSERT_TRUE(graph.CreateEx(0, AfxRegisterWndClass(0), "graph", WS_POPUP | WS_VISIBLE, place, nullptr, 0));
    zorkit::PumpPendingMessages();
    auto headless = zorkit::CaptureWindow(graph.m_hWnd);
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
    EXPECT_EQ(difference, CPoint(-1, -1)) << "first differing pixel of the graph on screen";
    graph.DestroyWindow();
    screen.reset();
}

}
