// Board profiles as a teacher writes them: what is accepted, and what is refused
// with which line and reason.
#include <gtest/gtest.h>

#include "sim/devices/BoardProfile.h"

namespace zorkit::sim::test {
namespace {

std::string Refusal(const std::string& text)
{
    std::string error;
    std::optional<CBoardProfile> profile = ParseBoardProfile(text, error);
    EXPECT_FALSE(profile) << "accepted:\n" << text;
    return error;
}

TEST(BoardProfile, DefaultHoldsEveryDeviceWithoutConflicts)
{
    std::string error;
    std::optional<CBoardProfile> profile = ParseBoardProfile(DefaultBoardProfileText(), error);
    ASSERT_TRUE(profile) << error;
    EXPECT_TRUE(profile->leds && profile->switches && profile->buttons && profile->pulse && profile->buzzer
        && profile->seg7 && profile->keypad && profile->lcd && profile->adc && profile->dac && profile->stepper
        && profile->motor && profile->ppi && profile->ctc);
    // The demo and the tests keep external RAM at 0000-7FFF and 8000-DFFF.
    for (WORD address : {profile->seg7->address, profile->lcd->address, profile->ppi->address, profile->ctc->address,
             profile->keypad->address, profile->adc->address, profile->dac->address})
        EXPECT_GE(address, 0xE000);
    ASSERT_EQ(profile->leds->pins.size(), 8u);
    EXPECT_EQ(PinName(profile->leds->pins[7]), "P1.7");
    EXPECT_EQ(PinName(profile->buttons->pins[0]), "P3.2");
    std::string table = WiringTable(*profile);
    EXPECT_NE(table.find("LEDs 0-7          P1.0 P1.1"), std::string::npos) << table;
    EXPECT_NE(table.find("E400"), std::string::npos) << table;
}

TEST(BoardProfile, ReadsPinsPortsListsAndSettings)
{
    std::string error;
    std::optional<CBoardProfile> profile = ParseBoardProfile("[leds]\npins = [\"P1.4\", \"P1.5\"]\nlit = \"high\"\n"
                                                             "[stepper]\nphases = [\"P1.0\", \"P1.1\", \"P1.2\", \"P1.3\"]\n"
                                                             "step-degrees = 1.8\n",
        error);
    ASSERT_TRUE(profile) << error;
    EXPECT_FALSE(profile->leds->litWhenLow);
    EXPECT_EQ(profile->leds->pins.size(), 2u);
    EXPECT_DOUBLE_EQ(profile->stepper->stepDegrees, 1.8);
    // LEDs and a stepper may both watch a pin; only outputs conflict.
    EXPECT_TRUE(ParseBoardProfile("[leds]\npins = \"P1\"\n[stepper]\nphases = [\"P1.0\", \"P1.1\", \"P1.2\", \"P1.3\"]\n",
        error))
        << error;
}

TEST(BoardProfile, RefusesWithLineAndReason)
{
    EXPECT_EQ(Refusal("[leds]\npins = \"P1\"\n[switches]\npins = [\"P2.0\", \"P1.3\"]\n[buttons]\npins = [\"P1.3\"]\n"),
        "6: two outputs wired to P1.3: [switches] (line 4) and [buttons]");
    EXPECT_EQ(Refusal("[leds]\npins = \"P1\"\ncolour = \"red\"\n"), "3: [leds] has no setting 'colour'");
    EXPECT_EQ(Refusal("\n[lamp]\npins = \"P1\"\n").substr(0, 19), "2: unknown device [");
    EXPECT_EQ(Refusal("[leds]\npins = \"P1.9\"\n"), "2: 'P1.9' is no pin (P0.0-P3.7, PA0-PC7, OUT0-OUT2)");
    EXPECT_EQ(Refusal("[switches]\npins = \"PA\"\n"), "2: PA0 needs the parallel interface chip, [ppi]");
    EXPECT_EQ(Refusal("[lcd]\naddress = 0xE400\n[dac]\naddress = 0xE4FF\n"),
        "4: address must be the start of a 256-byte page, 0x0000 to 0xFF00");
    EXPECT_EQ(Refusal("[lcd]\naddress = 0xE400\n[dac]\naddress = 0xE400\n"),
        "4: [dac] and [lcd] are both at the same address");
    EXPECT_EQ(Refusal("[dac]\naddress = 0xE600\n[leds]\npins = \"P2\"\n"),
        "4: P2.0 carries the external bus of the devices on it");
    EXPECT_EQ(Refusal("[pulse]\npin = \"P3.0\"\n"), "2: P3.0 is the serial port's");
    EXPECT_EQ(Refusal("[stepper]\nphases = [\"P1.0\"]\n"), "2: phases of [stepper] takes 4 pins, not 1");
    EXPECT_EQ(Refusal("[ctc]\naddress = 0xE100\n[pulse]\npin = \"OUT1\"\n"),
        "4: OUT1 is an output of the counter/timer chip; [pulse] cannot drive it");
    EXPECT_EQ(Refusal("[leds]\npins = \"P1\n").substr(0, 3), "2: ") << "a TOML syntax error names its line";
    EXPECT_EQ(Refusal("[motor]\ndrive = \"P1.0\"\nencoder = \"P3.5\"\nmax-rpm = 5\n"),
        "4: max-rpm must be a number from 10 to 20000");
    EXPECT_EQ(Refusal("[adc]\naddress = 0xE500\n[heater]\n"),
        "3: [heater] needs the A/D converter, [adc], for its sensor and the D/A, [dac], for its power");
    EXPECT_EQ(Refusal("[adc]\naddress = 0xE500\n[dac]\naddress = 0xE600\n[heater]\nchannel = 8\n"),
        "6: channel must be a number from 0 to 7");
}

TEST(BoardProfile, HeaterOnAnyAdcInput)
{
    std::string error;
    std::optional<CBoardProfile> profile
        = ParseBoardProfile("[adc]\naddress = 0xE500\n[dac]\naddress = 0xE600\n[heater]\nchannel = 3\n", error);
    ASSERT_TRUE(profile) << error;
    EXPECT_EQ(profile->heater->channel, 3);
    EXPECT_NE(WiringTable(*profile).find("sensor A/D input 3"), std::string::npos) << WiringTable(*profile);
    EXPECT_EQ(DefaultBoardProfile().heater->channel, 7);
}

}
}
