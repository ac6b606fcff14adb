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
        ASSERT_TRUE(rig.Steps(20));
        wired.Act([](CDeviceBoard& devices) { devices.SetButton(0, false); });
        ASSERT_TRUE(rig.Steps(20));
    }
    EXPECT_EQ(wired.Devices().State("leds"), "**.....*");
}

}
}
