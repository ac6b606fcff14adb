// zorstudio's main window on a private X server: what the desktop shows is the
// headless rendering of the same window tree, pixel for pixel.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "tests/screenshot/ScreenComparison.h"
#include "tests/support/TempDir.h"
#include "tools/zorstudio/ui/StudioWindow.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"

namespace zorkit::studio::test {
namespace {

// The window brought up to date and painted whole, as the headless backend draws it.
std::shared_ptr<Surface> PaintedWhole(zorstudio::CStudioWindow& window)
{
    // No caret: the desktop blinks it over the window, the headless picture leaves it out.
    window.SetFocus();
    window.Tick();
    PumpPendingMessages();
    // Every view painted whole before the picture: without this the views the build and
    // download filled were still unpainted on both sides, and compared equal as such.
    window.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return CaptureWindow(window.m_hWnd);
}

TEST(StudioScreenshot, MainWindowOnTheDesktopIsPixelEqualToTheHeadlessRendering)
{
    std::string why;
    auto comparison = zorkit::test::ScreenComparison::Start(why, "1400x900x24");
    if (!comparison)
        GTEST_SKIP() << why;
    TempDir scratch;
    CCommPort::SetLogDirectory(scratch.Path().string());

    zorstudio::CStudioWindow window;
    ASSERT_TRUE(window.Board().Call([](zorstudio::CDebugSession& s) { return s.Open({}); }));
    const auto settled = [&] { return PumpMessagesUntil([&] { return window.Idle(); }, 60000); };
    const CRect place(30, 20, 30 + zorstudio::CStudioWindow::kWidth, 20 + zorstudio::CStudioWindow::kHeight);
    ASSERT_TRUE(window.CreateMain(place));
    ASSERT_TRUE(window.OpenSource(ZORSTUDIO_SAMPLE));
    ASSERT_TRUE(window.Lines().Connect() && settled());
    ASSERT_EQ(window.View().state, zorstudio::LinkState::Connected) << window.StatusBar().PaneText(0);
    ASSERT_TRUE(window.Build());
    ASSERT_TRUE(window.Download() && settled());
    ASSERT_TRUE(window.View().entry) << window.StatusBar().PaneText(0);
    auto headless = PaintedWhole(window);
    ASSERT_TRUE(headless);
    EXPECT_EQ(comparison->WaitUntilShown(place, *headless, std::chrono::seconds(20)), CPoint(-1, -1))
        << "first differing pixel of the window on the screen";

    // With a menu open over the views and an item highlighted.
    window.MenuBar().Open(*window.MenuBar().MenuIndex("Debug"));
    ASSERT_NE(window.MenuBar().OpenList(), nullptr);
    window.MenuBar().OpenList()->MoveHot(1);
    PumpPendingMessages();
    auto withMenu = CaptureWindow(window.m_hWnd);
    ASSERT_TRUE(withMenu);
    EXPECT_EQ(comparison->WaitUntilShown(place, *withMenu, std::chrono::seconds(20)), CPoint(-1, -1))
        << "first differing pixel of the window with the Debug menu open";

    // Stopped at a breakpoint: the arrow and the red line in the listing, the changed
    // registers and bytes highlighted in the grids.
    window.MenuBar().Close();
    std::optional<WORD> done;
    for (int line = 0; line < window.Source().GetLineCount() && !done; ++line)
        if (std::string(window.Source().GetLineChars(line), std::size_t(window.Source().GetLineLength(line)))
                .rfind("done:", 0) == 0)
            done = window.AddressOfSourceLine(line + 1);
    ASSERT_TRUE(done) << "the sample has a 'done:' line";
    ASSERT_TRUE(window.ToggleBreakpoint(*done) && settled());
    const int stops = window.View().stopsHandled;
    ASSERT_TRUE(window.Run());
    ASSERT_TRUE(PumpMessagesUntil([&] {
        return window.View().stopsHandled > stops && !window.View().memoryPending && window.Idle();
    }, 20000)) << window.StatusBar().PaneText(0);
    ASSERT_EQ(window.View().current.pc, *done);
    auto stopped = PaintedWhole(window);
    ASSERT_TRUE(stopped);
    int changed = 0;
    for (int y = 0; y < stopped->Height(); ++y)
        for (int x = 0; x < stopped->Width(); ++x)
            changed += stopped->GetPixel(x, y) != headless->GetPixel(x, y);
    EXPECT_GT(changed, 1000) << "the stop shows on the window";
    EXPECT_EQ(comparison->WaitUntilShown(place, *stopped, std::chrono::seconds(20)), CPoint(-1, -1))
        << "first differing pixel of the window stopped at the breakpoint";

    // Resized, with the experiment's tab shown: the panes laid out again, on both sides.
    const CRect larger(30, 20, 30 + 1366, 20 + 860);
    window.MoveWindow(&larger);
    window.Layout().ShowTab(zorstudio::Pane::Experiment);
    auto resized = PaintedWhole(window);
    ASSERT_TRUE(resized);
    ASSERT_EQ(resized->Width(), larger.Width());
    ASSERT_TRUE(window.Panel().IsWindowVisible());
    EXPECT_EQ(comparison->WaitUntilShown(larger, *resized, std::chrono::seconds(20)), CPoint(-1, -1))
        << "first differing pixel of the resized window";
}

}
}
