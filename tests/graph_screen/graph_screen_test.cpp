#include <chrono>
#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "zorkit/graph/Graph.h"
#include "zorkit/platform/sdl/OnScreen.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "zorkit/platform/ui/WindowClass.h"
#include "tests/screenshot/ScreenComparison.h"
#include "tests/sdl/PatternWnd.h"

namespace {

TEST(GraphOnScreen, DesktopWindowShowsTheHeadlessPicture)
{
    std::string why;
    auto comparison = zorkit::test::ScreenComparison::Start(why);
    if (!comparison)
        GTEST_SKIP() << why;

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
    EXPECT_EQ(comparison->WaitUntilShown(place, *headless, std::chrono::seconds(10)), CPoint(-1, -1))
        << "first differing pixel of the graph on screen";
    graph.DestroyWindow();
}

}
