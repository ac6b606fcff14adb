#include <gtest/gtest.h>

#include "sim/devices/DeviceBoard.h"
#include "tests/boardpanel/PanelRig.h"
#include "tests/screenshot/ScreenComparison.h"

namespace boardpanel::test {
namespace {

TEST(PanelOnScreen, DesktopWindowShowsTheHeadlessPicture)
{
    std::string why;
    auto comparison = zorkit::test::ScreenComparison::Start(why, "800x480x24");
    if (!comparison)
        GTEST_SKIP() << why;

    // A known state: LEDs and switches set, a digit and LCD text shown, a knob turned.
    zorkit::sim::CDeviceBoard devices(zorkit::sim::DefaultBoardProfile());
    std::uint64_t cycle = 0;
    auto write = [&](WORD address, BYTE value) {
        cycle += 50;
        devices.AdvanceTo(cycle);
        devices.BusWrite(address, value, cycle);
    };
    devices.OnPortLatch(1, 0x5A, cycle);
    devices.SetSwitch(1, true);
    devices.SetKnob(2, 0xC0);
    write(0xE200, 0x6D);
    write(0xE201, 0x01);
    for (BYTE code : {BYTE(0x38), BYTE(0x0C), BYTE(0x80)})
        write(0xE400, code);
    for (char c : std::string("on screen"))
        write(0xE401, BYTE(c));
    write(0xE600, 0x80);

    CBoardPanel panel;
    ASSERT_TRUE(panel.CreateTopLevel("panel", kPanelPlace));
    panel.ShowBoard(zorkit::sim::DefaultBoardProfile(), [&devices](const auto& action) {
        action(devices);
        return true;
    });
    auto headless = Picture(panel);
    ASSERT_TRUE(headless);
    EXPECT_EQ(comparison->WaitUntilShown(kPanelPlace, *headless, std::chrono::seconds(30)), CPoint(-1, -1))
        << "first differing pixel of the panel on screen";
    panel.DestroyWindow();
}

}
}
