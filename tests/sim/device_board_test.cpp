// The default board's devices as a program reaches them (port latches, bus
// cycles, time) and as the outside sees and drives them (Show, events, inputs).
#include <gtest/gtest.h>

#include <cmath>

#include "sim/devices/DeviceBoard.h"

namespace zorkit::sim::test {
namespace {

constexpr WORD kPpi = 0xE000, kCtc = 0xE100, kSeg7 = 0xE200, kKeypad = 0xE300, kLcd = 0xE400, kAdc = 0xE500,
               kDac = 0xE600;

class DeviceBoard : public ::testing::Test {
protected:
    CDeviceBoard board{DefaultBoardProfile()};
    std::uint64_t cycle = 0;

    void Write(WORD address, BYTE value) { ASSERT_TRUE(board.BusWrite(address, value, cycle += 2)); }
    BYTE Read(WORD address)
    {
        BYTE value = 0;
        EXPECT_TRUE(board.BusRead(address, cycle += 2, value));
        return value;
    }
    std::string Line(const std::string& device) { return device + ": " + board.State(device); }
};

TEST_F(DeviceBoard, ShowListsEveryDeviceInItsFixedForm)
{
    EXPECT_EQ(board.Show(),
        "leds: ........\n"
        "switches: 00000000\n"
        "buttons: up up\n"
        "pulse: 0 Hz\n"
        "buzzer: off\n"
        "seg7: \"        \"\n"
        "keypad: none\n"
        "lcd: \"                \" \"                \"\n"
        "adc: 00 00 00 00 00 00 00 33, result 00\n"
        "dac: 00\n"
        "stepper: 0.0 deg, phases none\n"
        "motor: 0 rpm, drive 0%\n"
        "heater: 20.0 deg C, power 0%\n");
    BYTE unused = 0;
    EXPECT_FALSE(board.BusRead(0x8000, 10, unused)) << "RAM stays where the demo uses it";
    EXPECT_FALSE(board.BusWrite(0xDFFF, 1, 10));
}

TEST_F(DeviceBoard, LedsFollowTheLatchSwitchesReachThePpi)
{
    board.OnPortLatch(1, 0xFA, cycle += 10);
    EXPECT_EQ(Line("leds"), "leds: *.*.....") << "lit when low, LED 0 first";
    EXPECT_EQ(board.SetSwitch(0, true), "");
    EXPECT_EQ(board.SetSwitch(7, true), "");
    Write(kPpi + 3, 0x90); // PA in
    EXPECT_EQ(Read(kPpi + 0), 0x81);
    EXPECT_EQ(board.SetSwitch(8, true), "switch 8 does not exist (0-7)");
    EXPECT_EQ(Read(kPpi + 0), 0x81) << "a refused input changes nothing";
}

TEST_F(DeviceBoard, ButtonsAndPulsesDriveThePortThreePins)
{
    EXPECT_EQ(board.PinDrive(3), 0xFF);
    board.SetButton(0, true);
    EXPECT_EQ(board.PinDrive(3) & 0x04, 0) << "button 0 holds INT0 low";
    board.SetButton(0, false);
    EXPECT_EQ(board.SetPulseRate(1000), "");
    int falls = 0;
    bool level = board.PinDrive(3) & 0x10;
    for (std::uint64_t next; (next = board.NextChange()) <= 10000;) {
        board.AdvanceTo(next);
        bool now = board.PinDrive(3) & 0x10;
        falls += level && !now;
        level = now;
    }
    EXPECT_EQ(falls, 10) << "1000 Hz for 10 ms on T0";
    EXPECT_EQ(board.SetPulseRate(-1), "the pulse generator runs from 0 to 50000 Hz, not -1");
    EXPECT_EQ(board.SetButton(2, true), "button 2 does not exist (0-1)");
}

TEST_F(DeviceBoard, EveryButtonLevelLastsAFingersTime)
{
    board.AdvanceTo(1000);
    // Down, up, down, up and up again, all at one cycle.
    for (bool down : {true, false, true, false, false})
        EXPECT_EQ(board.SetButton(1, down), "");
    std::vector<std::pair<std::uint64_t, bool>> levels{{1000, board.PinDrive(3) & 0x08}};
    for (std::uint64_t next; (next = board.NextChange()) <= 1000000;) {
        board.AdvanceTo(next);
        bool level = board.PinDrive(3) & 0x08;
        if (level != levels.back().second)
            levels.emplace_back(next, level);
    }
    constexpr std::uint64_t kFinger = CDeviceBoard::kFingerCycles;
    std::vector<std::pair<std::uint64_t, bool>> expected{
        {1000, false}, {1000 + kFinger, true}, {1000 + 2 * kFinger, false}, {1000 + 3 * kFinger, true}};
    EXPECT_EQ(levels, expected) << "INT1 low for each press; the repeated release is no change";
    EXPECT_EQ(board.State("buttons"), "up up");
    // A press long after the last change takes effect at once.
    board.AdvanceTo(1000000);
    board.SetButton(1, true);
    EXPECT_EQ(board.PinDrive(3) & 0x08, 0);
}

TEST_F(DeviceBoard, KeypadLcdSevenSegmentAndDacOverTheBus)
{
    board.SetKey(0xA, true); // row 2, column 2
    Write(kKeypad, 0x0B);
    EXPECT_EQ(Read(kKeypad) & 0x0F, 0x0B);
    EXPECT_EQ(Line("keypad"), "keypad: A");
    EXPECT_EQ(board.SetKey(16, true), "key 16 does not exist (0-F)");

    for (BYTE code : {0x38, 0x0C, 0x01}) {
        Write(kLcd, code);
        while (Read(kLcd) & 0x80) {}
    }
    for (char c : std::string("Hi \"x\""))
        Write(kLcd + 1, BYTE(c)), cycle += 40;
    EXPECT_EQ(Line("lcd"), "lcd: \"Hi \\\"x\\\"          \" \"                \"");

    Write(kSeg7, 0x3F);
    Write(kSeg7 + 1, 0x01);
    EXPECT_EQ(Line("seg7"), "seg7: \"0       \"");
    Write(kDac, 0x9C);
    EXPECT_EQ(Line("dac"), "dac: 9C");
}

TEST_F(DeviceBoard, AdcEndOfConversionOnPc7)
{
    EXPECT_EQ(board.SetKnob(2, 0xB4), "");
    Write(kPpi + 3, 0x98); // PA in, PC upper in
    Write(kAdc + 2, 0);
    EXPECT_EQ(Read(kPpi + 2) & 0x80, 0) << "EOC falls at the start";
    while (!(Read(kPpi + 2) & 0x80))
        ASSERT_LT(cycle, 1000u);
    EXPECT_EQ(Read(kAdc), 0xB4);
    EXPECT_EQ(board.SetKnob(2, 256), "a knob is set from 0 to 255, not 256");
    EXPECT_EQ(board.SetKnob(8, 1), "knob 8 does not exist (0-7)");
}

TEST_F(DeviceBoard, ABoardTouchedOnlyByReadsSeesEveryChangeOnTime)
{
    // A polling program gives the board nothing but bus cycles: each read must find
    // whatever came due since the last one, whichever device it was.
    Write(kPpi + 3, 0x98);
    EXPECT_EQ(board.SetKnob(0, 0x5A), "");
    const std::uint64_t pulseFrom = cycle;
    EXPECT_EQ(board.SetPulseRate(1000), ""); // high for 500 cycles, low for 500
    Write(kAdc, 0);
    const std::uint64_t converted = cycle + CAdConverter::kConversionCycles;
    EXPECT_EQ(board.SetButton(0, true), "");
    EXPECT_EQ(board.SetButton(0, false), "");
    const std::uint64_t released = cycle + CDeviceBoard::kFingerCycles;
    for (std::uint64_t at : {converted - 1, converted, pulseFrom + 499, pulseFrom + 500, pulseFrom + 1000,
             released - 1, released, released + 777}) {
        BYTE portC = 0;
        ASSERT_TRUE(board.BusRead(kPpi + 2, at, portC));
        EXPECT_EQ(bool(portC & 0x80), at >= converted) << "EOC at cycle " << at;
        EXPECT_EQ(bool(board.PinDrive(3) & 0x10), (at - pulseFrom) / 500 % 2 == 0) << "T0 at cycle " << at;
        EXPECT_EQ(bool(board.PinDrive(3) & 0x04), at >= released) << "INT0 at cycle " << at;
    }
    BYTE result = 0;
    ASSERT_TRUE(board.BusRead(kAdc, released + 778, result));
    EXPECT_EQ(result, 0x5A);

    // A digit switched off stays lit for the eye's persistence, and no longer.
    cycle = released + 1000;
    Write(kSeg7, 0x06);
    Write(kSeg7 + 1, 0x01);
    Write(kSeg7 + 1, 0x00);
    const std::uint64_t fades = cycle + CSevenSegment::kPersistenceCycles;
    BYTE unused = 0;
    board.BusRead(kAdc, fades - 1, unused);
    EXPECT_EQ(Line("seg7"), "seg7: \"1       \"");
    board.BusRead(kAdc, fades, unused);
    EXPECT_EQ(Line("seg7"), "seg7: \"        \"");
}

TEST_F(DeviceBoard, ACoastingMotorIsBroughtToTheCycleOfEveryRead)
{
    Write(kPpi + 3, 0x88);
    Write(kPpi + 2, 0x01); // PC0 high: the motor runs
    board.AdvanceTo(cycle += 50000);
    Write(kPpi + 2, 0x00);
    const double duty = board.Motor()->Duty();
    ASSERT_GT(duty, 0.9);
    BYTE unused = 0;
    board.BusRead(kAdc, cycle + 150, unused); // before its next step of its own
    EXPECT_NEAR(board.Motor()->Duty(), duty * std::exp(-150 / CDcMotor::kDutyCycles), 1e-9)
        << "undriven, it still moves until it stands";
}

TEST_F(DeviceBoard, HeaterFollowsTheDacOnItsAdcInput)
{
    auto sensor = [this] {
        Write(kAdc + 7, 0);
        board.AdvanceTo(cycle += CAdConverter::kConversionCycles);
        return Read(kAdc + 7);
    };
    EXPECT_EQ(sensor(), 51) << "20 degrees at 2.55 counts a degree";
    Write(kDac, 0xFF);
    board.AdvanceTo(cycle += 800000);
    EXPECT_EQ(sensor(), 51) << "within the dead time";
    EXPECT_EQ(Line("heater"), "heater: 20.0 deg C, power 100%");
    board.AdvanceTo(cycle += 20000000);
    BYTE warm = sensor();
    EXPECT_NEAR(warm, std::lround(2.55 * board.Heater()->Temperature()), 1);
    EXPECT_GT(board.Heater()->Temperature(), 60);
    Write(kDac, 0x80);
    board.AdvanceTo(cycle += 200000000);
    EXPECT_NEAR(board.Heater()->Temperature(), 20 + 70 * 0x80 / 255.0, 1) << "settles at its share of the full rise";
    EXPECT_LT(sensor(), warm);
    EXPECT_EQ(board.SetKnob(7, 0x10), "A/D input 7 reads the heater's sensor, not a knob");
}

TEST_F(DeviceBoard, StepperMotorAndBuzzerThroughTheChips)
{
    Write(kPpi + 3, 0x88); // PB out, PC lower out, PC upper in
    for (BYTE phases : {0x01, 0x02, 0x04, 0x08, 0x01, 0x02})
        Write(kPpi + 1, phases);
    EXPECT_EQ(Line("stepper"), "stepper: 37.5 deg, phases B");

    // Half duty on PC0 at 1 kHz for a second: about 1500 rpm, 25 turns' pulses on T1.
    int falls = 0;
    bool level = board.PinDrive(3) & 0x20;
    auto runTo = [&](std::uint64_t end) {
        for (std::uint64_t next; (next = board.NextChange()) <= end;) {
            board.AdvanceTo(next);
            bool now = board.PinDrive(3) & 0x20;
            falls += level && !now;
            level = now;
        }
        board.AdvanceTo(cycle = end);
    };
    for (int period = 0; period < 1000; ++period) {
        board.BusWrite(kPpi + 3, 0x01, cycle);
        runTo(cycle + 500);
        board.BusWrite(kPpi + 3, 0x00, cycle);
        runTo(cycle + 500);
    }
    double turns = board.Motor()->Turns();
    EXPECT_NEAR(board.Motor()->Rpm(), 1500, 30);
    EXPECT_NEAR(falls, turns * 20, 1.5) << "every encoder pulse reaches T1";

    Write(kCtc + 3, 0x36);
    Write(kCtc, 0xF4);
    Write(kCtc, 0x01); // 500: 2 kHz
    EXPECT_EQ(Line("buzzer"), "buzzer: on 2000 Hz");
}

TEST_F(DeviceBoard, EventsCarryTheCycleAndTheNewState)
{
    std::vector<CDeviceEvent> events;
    board.SetEventObserver([&events](const CDeviceEvent& event) { events.push_back(event); });
    board.OnPortLatch(1, 0xFE, 1234);
    board.OnPortLatch(1, 0xFE, 1300);
    board.OnPortLatch(2, 0x00, 1400);
    ASSERT_EQ(events.size(), 1u) << "only changes are told";
    EXPECT_EQ(events[0].cycle, 1234u);
    EXPECT_EQ(events[0].device, "leds");
    EXPECT_EQ(events[0].state, "*.......");
    board.SetSwitch(9, true);
    EXPECT_EQ(events.size(), 1u);
}

}
}
