// The devices wired to a real core: a button press reaches INT0 as a program sees it.
#include <gtest/gtest.h>

#include "sim/devices/CoreDevices.h"
#include "tests/sim/CoreRig.h"

namespace zorkit::sim::test {
namespace {

TEST(CoreDevices, ButtonPressCallsInt0AndLedsShowTheCount)
{
    CCoreRig rig;
    std::string error;
    ASSERT_TRUE(rig.Load(std::string(ZORKIT_LAB_PROGRAMS) + "/button_counter.ihx", error)) << error;
    CCoreDevices wired(rig.core, DefaultBoardProfile());
    rig.core.SetPC(0);
    ASSERT_TRUE(rig.Steps(20));
    for (int press = 0; press < 3; ++press) {
        wired.Act([](CDeviceBoard& devices) { devices.SetButton(0, true); });
        rig.core.Run(CDeviceBoard::kFingerCycles, CStopMap{}, false);
        wired.Act([](CDeviceBoard& devices) { devices.SetButton(0, false); });
        rig.core.Run(CDeviceBoard::kFingerCycles, CStopMap{}, false);
    }
    EXPECT_EQ(wired.Devices().State("buttons"), "up up");
    EXPECT_EQ(wired.Devices().State("leds"), "**.....*");
}

TEST(CoreDevices, PressesTypedAtOnceEachCount)
{
    CCoreRig rig;
    std::string error;
    ASSERT_TRUE(rig.Load(std::string(ZORKIT_LAB_PROGRAMS) + "/button_counter.ihx", error)) << error;
    CCoreDevices wired(rig.core, DefaultBoardProfile());
    rig.core.SetPC(0);
    ASSERT_TRUE(rig.Steps(20));
    // Faster than any run slice: no instruction runs between the six changes.
    wired.Act([](CDeviceBoard& devices) {
        for (int press = 0; press < 3; ++press) {
            devices.SetButton(0, true);
            devices.SetButton(0, false);
        }
    });
    EXPECT_EQ(wired.Devices().State("buttons"), "down up");
    rig.core.Run(9 * CDeviceBoard::kFingerCycles / 2, CStopMap{}, false);
    EXPECT_EQ(wired.Devices().State("buttons"), "down up") << "the third press lasts its 20 ms";
    EXPECT_EQ(wired.Devices().State("leds"), "**.....*");
    rig.core.Run(CDeviceBoard::kFingerCycles, CStopMap{}, false);
    EXPECT_EQ(wired.Devices().State("buttons"), "up up");
}

}
}
