#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"
#include "tools/zorgrade/Scenario.h"

using namespace zorgrade;

namespace {

const char kLimits[] = "[limits]\ncycles = 1000\n";

std::string Refusal(const std::string& text)
{
    std::string error;
    std::optional<CScenario> scenario = ParseScenario(text, ".", error);
    EXPECT_FALSE(scenario) << text;
    return error;
}

}

TEST(Scenario, ReadsInputsInTimeOrderAndChecksInFileOrder)
{
    std::string error;
    std::optional<CScenario> scenario = ParseScenario(std::string("title = \"Lab\"\nstart = 0x0100\n") + kLimits
            + "wall-seconds = 2.5\n"
              "[[input]]\nat = 500\nserial = \"hi\"\n"
              "[[input]]\nat = 100\nbutton = 1\ndown = false\n"
              "[[input]]\nat = 100\nknob = 3\nvalue = 200\n"
              "[[check]]\nname = \"lit\"\npoints = 3\nat = 900\nleds = \"*..?....\"\n"
              "[[check]]\nwithin = [10, 20]\nlcd = \"Hi\"\n"
              "[[check]]\nbreakpoint = 0x0123\nregister = \"dptr\"\nvalue = 0xE000\n"
              "[[check]]\ntoggles = \"P1.7\"\nwithin = [0, 1000]\nperiod = 100\ntolerance = 5\n",
        ".", error);
    ASSERT_TRUE(scenario) << error;
    EXPECT_EQ(scenario->title, "Lab");
    EXPECT_EQ(scenario->start, 0x0100);
    EXPECT_EQ(scenario->cycleLimit, 1000u);
    EXPECT_DOUBLE_EQ(scenario->wallSeconds, 2.5);
    ASSERT_EQ(scenario->inputs.size(), 3u);
    // Two inputs at one cycle keep the file's order.
    EXPECT_EQ(scenario->inputs[0].kind, CInput::Kind::Button);
    EXPECT_FALSE(scenario->inputs[0].on);
    EXPECT_EQ(scenario->inputs[1].kind, CInput::Kind::Knob);
    EXPECT_EQ(scenario->inputs[1].value, 200);
    EXPECT_EQ(scenario->inputs[2].text, "hi");
    ASSERT_EQ(scenario->checks.size(), 4u);
    EXPECT_EQ(scenario->checks[0].name, "lit");
    EXPECT_EQ(scenario->checks[1].name, "check 2");
    EXPECT_EQ(scenario->TotalPoints(), 6);
    const auto& reg = std::get<std::pair<CMoment, CExpectation>>(scenario->checks[2].what);
    EXPECT_EQ(reg.first.kind, CMoment::Kind::Breakpoint);
    EXPECT_EQ(std::get<CRegisterSeen>(reg.second).name, "DPTR");
    EXPECT_EQ(std::get<CToggle>(scenario->checks[3].what).tolerance, 5u);
}

TEST(Scenario, ErrorsNameTheLineAndWhy)
{
    EXPECT_EQ(Refusal("[[check]]\nat = 1\nleds = \"*\"\n"), "1: the scenario needs [limits] with cycles = MACHINE-CYCLES");
    EXPECT_EQ(Refusal(kLimits), "1: the scenario has no [[check]]");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\nat = 1\nled = \"*\"\n"),
        "3: a check looks at one of leds, seg7, lcd, pin, port, serial, iram, xram, register, toggles, reaches, halts");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\nat = 1\nleds = \"*\"\ncolour = 2\n"),
        "6: a [[check]] has no setting 'colour'");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\nat = 1\nwithin = [1, 2]\nleds = \"*\"\n"),
        "3: a check takes one of at, within, breakpoint");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\nwithin = [5, 5]\nleds = \"*\"\n"),
        "4: within takes [FROM, TO], two machine cycles with FROM before TO");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\nat = 2000\nleds = \"........\"\n"),
        "3: the check looks past the limit of 1000 cycles");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\nat = 1\nleds = \"on\"\n"),
        "5: leds is a row of * (lit), . (dark) and ? (either), LED 0 first");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\nat = 1\npin = \"PA0\"\nlevel = 1\n"),
        "5: pin names a pin of the 8051's ports, P0.0 to P3.7, not 'PA0'");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[input]]\nat = 1\nswitch = 9\n[[check]]\nat = 1\nleds = \"*\"\n"),
        "5: switch must be from 0 to 7, not 9");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[input]]\nat = 1\nswitch = 1\nbutton = 0\n[[check]]\nat = 1\nleds = \"*\"\n"),
        "3: an [[input]] takes one of switch, button, key, knob, pulse, serial");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\ntoggles = \"P1.0\"\nwithin = [0, 50]\nperiod = 100\n"),
        "5: the window is shorter than one period");
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[check]]\nat = 1\nleds = \"*\"\npoints = \"two\"\n"),
        "6: points takes a whole number");
    // toml++'s own reason for text that is no TOML at all.
    EXPECT_EQ(Refusal("title = \"x\"\n[limits\n").substr(0, 3), "2: ");
}

TEST(Scenario, ReadsTheBoardProfileBesideIt)
{
    TempDir dir;
    dir.Write("board.toml", "[leds]\npins = [\"P2.0\", \"P2.1\"]\nlit = \"high\"\n");
    std::string path = dir.Write("lab.toml", std::string("board = \"board.toml\"\n") + kLimits
            + "[[check]]\nat = 1\nleds = \"..\"\n");
    std::string error;
    std::optional<CScenario> scenario = LoadScenario(path, error);
    ASSERT_TRUE(scenario) << error;
    ASSERT_TRUE(scenario->board.leds);
    EXPECT_EQ(scenario->board.leds->pins.size(), 2u);
    EXPECT_FALSE(scenario->board.seg7);

    dir.Write("board.toml", "[leds]\npins = \"P1\"\n[lamps]\n");
    EXPECT_FALSE(LoadScenario(path, error));
    EXPECT_EQ(error.rfind(path + ":1: " + dir.File("board.toml") + ":3: unknown device [lamps]", 0), 0u)
        << error;
    std::filesystem::remove(dir.File("board.toml"));
    EXPECT_FALSE(LoadScenario(path, error));
    EXPECT_EQ(error, path + ":1: cannot read the board profile " + dir.File("board.toml"));
    EXPECT_FALSE(LoadScenario(dir.File("missing.toml"), error));
    EXPECT_EQ(error, "cannot read the scenario " + dir.File("missing.toml"));
}

TEST(Scenario, RefusesWhatTheBoardCannotDoOrShow)
{
    TempDir dir;
    dir.Write("board.toml", "[leds]\npins = [\"P2.0\", \"P2.1\"]\n");
    const std::string top = std::string("board = \"board.toml\"\n") + kLimits;
    std::string error;
    auto refusal = [&](const std::string& rest) {
        EXPECT_FALSE(LoadScenario(dir.Write("lab.toml", top + rest), error)) << rest;
        return error.substr(dir.File("lab.toml").size() + 1);
    };
    EXPECT_EQ(refusal("[[check]]\nat = 1\nleds = \"***\"\n"), "4: the board has 2 LEDs, and leds names 3");
    EXPECT_EQ(refusal("[[check]]\nat = 1\nseg7 = \"1\"\n"), "4: the board has no 7-segment display");
    EXPECT_EQ(refusal("[[check]]\nat = 1\nlcd = \"hi\"\n"), "4: the board has no LCD");
    EXPECT_EQ(refusal("[[input]]\nat = 1\nswitch = 0\n[[check]]\nat = 1\nleds = \"..\"\n"), "4: the board has no switch 0");
    EXPECT_EQ(refusal("[[input]]\nat = 1\nkey = 3\n[[check]]\nat = 1\nleds = \"..\"\n"), "4: the board has no keypad");

    // The built-in board's heater sensor sits on A/D input 7.
    EXPECT_EQ(Refusal(std::string(kLimits) + "[[input]]\nat = 1\nknob = 7\nvalue = 9\n[[check]]\nat = 1\nleds = \"........\"\n"),
        "3: A/D input 7 reads the heater's sensor, not a knob");
}
