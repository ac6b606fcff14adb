// The board's panel in zorstudio's main window: it follows the board the session
// uses, the user's clicks reach the virtual board's devices while a lab program runs,
// and on a board that is not the in-process one it says so instead of showing devices.
#include "tests/studio/StudioWindowFixture.h"
#include "tools/common/IntelHex.h"
#include "tools/zorstudio/Translation.h"

namespace zorkit::studio::test {
namespace {

using PanelInStudio = StudioWindowTest;

TEST_F(PanelInStudio, ClicksReachTheRunningProgramAndThePanelShowsWhatItDid)
{
    window->Layout().ShowTab(zorstudio::Pane::DevicePanel);
    Settle();
    boardpanel::CBoardPanel& panel = window->BoardPanes().Panel();
    ASSERT_TRUE(panel.IsWindowVisible()) << "the Device tab shows the panel";
    ASSERT_TRUE(panel.Message().empty()) << panel.Message();
    CIntelHex lab;
    ASSERT_TRUE(lab.LoadFile(ZORKIT_LAB_PROGRAMS "/switches_to_leds.ihx")) << lab.GetError();
    ASSERT_TRUE(OnBoard([&](zorstudio::CDebugSession& s) { return s.Download(lab) && s.Run(0x0000); }));

    // The panel is scaled into its pane; the click lands on switch 4 as drawn there.
    const double scale = panel.Scale();
    ASSERT_GT(scale, 0.2);
    const CPoint centre = panel.Layout().switches[4].CenterPoint();
    Click(panel, CPoint(int(centre.x * scale) + 1, int(centre.y * scale) + 1));
    EXPECT_TRUE(WaitFor([&] { return panel.State().switches == 0x10; })) << "switch 4 flipped on";
    EXPECT_TRUE(WaitFor([&] { return panel.State().leds == 0x10; }))
        << "the program read switch 4 and lit LED 4; LEDs now " << int(panel.State().leds);
    std::string switches;
    Board().WithDevices([&switches](sim::CDeviceBoard& devices) { switches = devices.State("switches"); });
    EXPECT_EQ(switches, "00001000");
}

TEST_F(PanelInStudio, AnotherBoardOnTheLineIsNotShownAsDevices)
{
    // A board reached as a serial device is as good as a real box for zorstudio.
    sim::CVirtualBoard other;
    ASSERT_TRUE(other.Start());
    std::string error;
    ASSERT_TRUE(OnBoard([&](zorstudio::CDebugSession& s) {
        return (s.Open({other.SlavePath(), 9600}) && s.Connect()) || (error = s.LastError(), false);
    })) << error;
    Settle();
    boardpanel::CBoardPanel& panel = window->BoardPanes().Panel();
    EXPECT_EQ(panel.Message(), zorstudio::TrGbk(zorstudio::CBoardPanes::kRealBoardText));
    const std::size_t reads = panel.Reads();
    panel.Refresh();
    EXPECT_EQ(panel.Reads(), reads) << "nothing is read from a board that is not there";

    ASSERT_TRUE(OnBoard([&](zorstudio::CDebugSession& s) { return s.Open({}) && s.Connect(); }));
    Settle();
    EXPECT_TRUE(panel.Message().empty()) << "back on the virtual board, its devices are shown";
}

}
}
