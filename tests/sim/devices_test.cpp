// The lab devices on their own, driven as a program drives them over the bus and
// pins, on machine-cycle time.
#include <gtest/gtest.h>

#include "sim/devices/Converters.h"
#include "sim/devices/CounterTimer.h"
#include "sim/devices/DcMotor.h"
#include "sim/devices/Hd44780.h"
#include "sim/devices/Keypad.h"
#include "sim/devices/ParallelInterface.h"
#include "sim/devices/SevenSegment.h"
#include "sim/devices/Stepper.h"

namespace zorkit::sim::test {
namespace {

// Writes to the LCD spaced by its longest instruction time, as a program that waits.
struct CLcdWriter {
    CHd44780 lcd;
    std::uint64_t cycle = 0;
    void Instruction(BYTE code) { lcd.WriteInstruction(code, cycle += 2000); }
    void Text(const std::string& text)
    {
        for (char c : text)
            lcd.WriteData(BYTE(c), cycle += 2000);
    }
};

TEST(Hd44780, ShowsNothingUntilInitialisedThenTwoLines)
{
    CLcdWriter w;
    w.Text("AB");
    EXPECT_EQ(w.lcd.Line(0), std::string(16, ' ')) << "the display is off after power-on";
    w.Instruction(0x38); // 8 bits, two lines
    w.Instruction(0x0C); // display on
    w.Instruction(0x01);
    w.Text("Hello");
    w.Instruction(0xC0 + 3);
    w.Text("World");
    EXPECT_EQ(w.lcd.Line(0), "Hello           ");
    EXPECT_EQ(w.lcd.Line(1), "   World        ");
    EXPECT_EQ(w.lcd.AddressCounter(), 0x48);
    w.Instruction(0x1C); // shift the display right... to the left by one position
    EXPECT_EQ(w.lcd.Line(0), "ello            ");
    w.Instruction(0x02); // home undoes the shift
    EXPECT_EQ(w.lcd.Line(0), "Hello           ");
    w.Instruction(0x08);
    EXPECT_EQ(w.lcd.Line(1), std::string(16, ' ')) << "display off";
}

TEST(Hd44780, BusyFlagEntryModeAndCgram)
{
    CHd44780 lcd;
    lcd.WriteInstruction(0x01, 100);
    EXPECT_EQ(lcd.ReadStatus(101) & 0x80, 0x80) << "clear takes 1.52 ms";
    lcd.WriteInstruction(0x0C, 200);
    EXPECT_FALSE(lcd.DisplayOn()) << "an instruction while busy is lost";
    EXPECT_EQ(lcd.ReadStatus(100 + 1520), 0x00);
    lcd.WriteInstruction(0x38, 2000);
    lcd.WriteInstruction(0x0C, 2100);
    lcd.WriteInstruction(0x04, 2200); // entry mode: decrement
    lcd.WriteInstruction(0x85, 2300);
    lcd.WriteData('b', 2400);
    lcd.WriteData('a', 2500);
    EXPECT_EQ(lcd.Line(0), "    ab          ");
    EXPECT_EQ(lcd.ReadStatus(2500 + 37), 0x03);
    lcd.WriteInstruction(0x48, 2600); // CGRAM 08
    lcd.WriteData(0x1F, 2700);
    lcd.WriteInstruction(0x48, 2800);
    EXPECT_EQ(lcd.ReadData(2900), 0x1F);
    EXPECT_EQ(lcd.Line(0), "    ab          ") << "CGRAM writes leave the text";
}

TEST(SevenSegment, ScannedFastItLooksSteadySlowOnlyTheLitDigitShows)
{
    CSevenSegment display;
    const BYTE digits[8] = {0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F}; // 1-8
    std::uint64_t cycle = 0;
    for (int round = 0; round < 10; ++round)
        for (int d = 0; d < 8; ++d) {
            display.WriteDigits(0, cycle += 5);
            display.WriteSegments(digits[d], cycle += 5);
            display.WriteDigits(BYTE(1 << d), cycle += 5);
            cycle += 1000; // 1 ms a digit: 125 scans a second
        }
    EXPECT_EQ(display.Text(cycle), "12345678");
    EXPECT_EQ(display.Text(cycle + CSevenSegment::kPersistenceCycles), "       8") << "the rest fade once the scan stops";
    EXPECT_GT(display.NextFade(cycle), cycle);
    EXPECT_LE(display.NextFade(cycle), cycle + CSevenSegment::kPersistenceCycles);
    display.WriteSegments(0x80 | 0x3F, cycle);
    EXPECT_EQ(display.Text(cycle + 100000), "       0.");
    EXPECT_EQ(SegmentCharacter(0x40), '-');
    EXPECT_EQ(SegmentCharacter(0x49), '?');
}

TEST(Keypad, AColumnReadsLowOnlyWhileItsRowIsDriven)
{
    CKeypad keypad;
    keypad.SetKey(0x6, true); // row 1, column 2
    keypad.WriteRows(0x0F);
    EXPECT_EQ(keypad.ReadColumns(), 0xFF);
    keypad.WriteRows(0x0E);
    EXPECT_EQ(keypad.ReadColumns(), 0xFF);
    keypad.WriteRows(0x0D);
    EXPECT_EQ(keypad.ReadColumns(), 0xFB);
    keypad.SetKey(0x7, true);
    EXPECT_EQ(keypad.ReadColumns(), 0xF3);
    keypad.SetKey(0x6, false);
    keypad.SetKey(0x7, false);
    EXPECT_EQ(keypad.ReadColumns(), 0xFF);
}

TEST(Converters, ConversionEndsAfterItsTimeWithTheInputOfThen)
{
    CAdConverter adc;
    adc.SetInput(3, 0x80);
    adc.Start(3, 1000);
    EXPECT_FALSE(adc.EndOfConversion());
    EXPECT_FALSE(adc.Advance(1000 + CAdConverter::kConversionCycles - 1));
    EXPECT_EQ(adc.Result(), 0x00) << "the result before the conversion";
    adc.SetInput(3, 0xC8);
    EXPECT_TRUE(adc.Advance(1000 + CAdConverter::kConversionCycles));
    EXPECT_TRUE(adc.EndOfConversion());
    EXPECT_EQ(adc.Result(), 0xC8);
    CDaConverter dac;
    dac.Write(0x7F, 50);
    EXPECT_EQ(dac.Value(), 0x7F);
    EXPECT_EQ(dac.Writes(), 1u);
}

TEST(Stepper, AngleFollowsFullAndHalfStepsBothWays)
{
    CStepper stepper(7.5);
    for (BYTE phases : {0x1, 0x2, 0x4, 0x8, 0x1}) // full steps A B C D A
        stepper.SetPhases(phases);
    EXPECT_DOUBLE_EQ(stepper.Degrees(), 30.0);
    for (BYTE phases : {0x9, 0x8, 0xC}) // half steps back
        stepper.SetPhases(phases);
    EXPECT_DOUBLE_EQ(stepper.Degrees(), 30.0 - 3 * 3.75);
    stepper.SetPhases(0x3); // AB: opposite CD, the rotor cannot tell the way
    stepper.SetPhases(0x0);
    EXPECT_DOUBLE_EQ(stepper.Degrees(), 30.0 - 3 * 3.75);
}

TEST(DcMotor, SpeedSettlesAtDutyTimesTopSpeedAndTheEncoderCounts)
{
    CDcMotor motor(20, 3000);
    std::uint64_t cycle = 0;
    int edges = 0;
    bool level = motor.EncoderLevel();
    // 25 % duty at 1 kHz for two seconds.
    for (int period = 0; period < 2000; ++period) {
        motor.SetDrive(true, cycle);
        motor.SetDrive(false, cycle += 250);
        cycle += 750;
        for (std::uint64_t t = cycle - 1000; t < cycle; t += 50) {
            motor.Advance(t);
            if (motor.EncoderLevel() != level) {
                level = !level;
                ++edges;
            }
        }
    }
    motor.Advance(cycle);
    EXPECT_NEAR(motor.Rpm(), 750, 20);
    EXPECT_NEAR(motor.Duty(), 0.25, 0.1);
    // 2 edges a pulse, 20 pulses a turn.
    EXPECT_NEAR(edges, motor.Turns() * 40, 2);
    EXPECT_GT(motor.NextEncoderEdge(), cycle);
}

TEST(ParallelInterface, ModeZeroDirectionsAndBitSetReset)
{
    CParallelInterface ppi;
    ppi.SetInput(0, 0x5A);
    EXPECT_EQ(ppi.Read(0), 0x5A) << "every port is an input after reset";
    ppi.Write(3, 0x90); // PA in, PB out, PC out
    ppi.Write(1, 0x33);
    EXPECT_EQ(ppi.Output(1), 0x33);
    EXPECT_EQ(ppi.Read(0), 0x5A);
    ppi.Write(3, 0x0F); // PC7 set
    ppi.Write(3, 0x01); // PC0 set
    EXPECT_EQ(ppi.Output(2), 0x81);
    ppi.Write(3, 0x00);
    EXPECT_EQ(ppi.Output(2), 0x80);
    ppi.Write(3, 0x98); // PC upper in: its outputs read high, the latch is cleared
    EXPECT_EQ(ppi.Output(2), 0xF0);
    EXPECT_EQ(ppi.Output(1), 0x00);
}

TEST(CounterTimer, SquareWaveRateAndOneShot)
{
    CCounterTimer ctc;
    ctc.Write(3, 0x36, 0); // counter 0, low then high, mode 3
    ctc.Write(0, 0xE8, 10);
    ctc.Write(0, 0x03, 20); // 1000
    EXPECT_DOUBLE_EQ(ctc.ToneHz(0), 1000.0);
    EXPECT_TRUE(ctc.Output(0, 20 + 499));
    EXPECT_FALSE(ctc.Output(0, 20 + 500));
    EXPECT_TRUE(ctc.Output(0, 20 + 1000));
    ctc.Write(3, 0x70, 0); // counter 1, both bytes, mode 0
    ctc.Write(1, 100, 100);
    ctc.Write(1, 0, 100);
    EXPECT_FALSE(ctc.Output(1, 150));
    EXPECT_TRUE(ctc.Output(1, 200));
    ctc.Write(3, 0x40, 130); // latch counter 1
    EXPECT_EQ(ctc.Read(1, 190), 70);
    EXPECT_EQ(ctc.Read(1, 190), 0);
    EXPECT_EQ(ctc.Read(1, 190), 10) << "the latch is spent; the count goes on";
    EXPECT_DOUBLE_EQ(ctc.ToneHz(1), 0.0);
}

}
}
