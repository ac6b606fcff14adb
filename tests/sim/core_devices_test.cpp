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

TEST(CoreDevices, LedLatchesReachTheDevicesLateButExactlyWhenWatched)
{
    CCoreRig rig;
    rig.Program({0xB2, 0x90, 0x80, 0xFC}); // CPL P1.0; SJMP back: three cycles a round
    CCoreDevices wired(rig.core, DefaultBoardProfile());
    // Nobody watches: the LEDs are brought up to date when they are looked at.
    for (const char* leds : {"*.......", "........", "*......."}) {
        ASSERT_TRUE(rig.Steps(2));
        EXPECT_EQ(wired.Devices().State("leds"), leds);
    }
    std::vector<std::pair<std::uint64_t, std::string>> events;
    wired.Act([&events](CDeviceBoard& devices) {
        devices.SetEventObserver([&events](const CDeviceEvent& event) {
            if (event.device == "leds")
                events.emplace_back(event.cycle, event.state);
        });
    });
    std::uint64_t start = rig.core.Cycles();
    ASSERT_TRUE(rig.Steps(6));
    std::vector<std::pair<std::uint64_t, std::string>> expected{
        {start + 1, "........"}, {start + 4, "*......."}, {start + 7, "........"}};
    EXPECT_EQ(events, expected) << "each change at the cycle of its CPL";
    wired.Act([](CDeviceBoard& devices) { devices.SetEventObserver(nullptr); });
    ASSERT_TRUE(rig.Steps(2));
    EXPECT_EQ(events.size(), 3u);
    EXPECT_EQ(wired.Devices().State("leds"), "*.......");
}

}
}
