#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/zorgrade/ScenarioRun.h"

using namespace zorgrade;

namespace {

CScenario Scenario(const std::string& text)
{
    std::string error;
    std::optional<CScenario> scenario = ParseScenario(text, ".", error);
    EXPECT_TRUE(scenario) << error;
    return scenario.value_or(CScenario{});
}

std::vector<CIntelHex::Run> Code(std::vector<std::uint8_t> bytes) { return {{0x0000, std::move(bytes)}}; }

// mov 30h,#5Ah; mov a,#12h; mov dptr,#0E000h; sjmp $
const std::vector<std::uint8_t> kStores{0x75, 0x30, 0x5A, 0x74, 0x12, 0x90, 0xE0, 0x00, 0x80, 0xFE};

}

TEST(ScenarioRun, BreakpointsReachesAndHaltsLookAtTheRightMoment)
{
    CScenario scenario = Scenario(R"(
[limits]
cycles = 100
[[check]]
breakpoint = 0x0008
iram = 0x30
value = 0x5A
[[check]]
breakpoint = 0x0008
register = "A"
value = 0x12
[[check]]
breakpoint = 0x0005
register = "DPTR"
value = 0xE000
[[check]]
reaches = 0x0008
by = 10
[[check]]
reaches = 0x0100
by = 50
[[check]]
halts = true
by = 50
[[check]]
breakpoint = 0x0200
register = "A"
value = 0
)");
    CRunResult result = RunScenario(scenario, Code(kStores));
    ASSERT_EQ(result.checks.size(), 7u);
    EXPECT_TRUE(result.checks[0].passed) << result.checks[0].detail;
    EXPECT_TRUE(result.checks[1].passed) << result.checks[1].detail;
    // Before the instruction at 0005 runs, DPTR still holds its reset value.
    EXPECT_FALSE(result.checks[2].passed);
    EXPECT_EQ(result.checks[2].detail, "DPTR = 0x0000 at cycle 3; expected DPTR = 0xE000");
    EXPECT_TRUE(result.checks[3].passed) << result.checks[3].detail;
    EXPECT_EQ(result.checks[4].detail, "did not reach 0x0100 by cycle 50; PC was 0x0008");
    EXPECT_TRUE(result.checks[5].passed) << result.checks[5].detail;
    EXPECT_EQ(result.checks[6].detail, "the program never reached 0x0200 in its 100 machine cycles");
    EXPECT_EQ(result.ending, "");
    // A failed check keeps the board as the student would have seen it.
    EXPECT_NE(result.checks[2].board.find("leds: ........\n"), std::string::npos) << result.checks[2].board;
}

TEST(ScenarioRun, AnUndefinedOpcodeFailsEveryCheckStillToComeWithItsReason)
{
    CScenario scenario = Scenario(R"(
[limits]
cycles = 1000
[[check]]
at = 0
leds = "........"
[[check]]
at = 100
leds = "********"
[[check]]
halts = true
by = 1000
)");
    // mov p1,#0 lights every LED, then A5.
    CRunResult result = RunScenario(scenario, Code({0x75, 0x90, 0x00, 0xA5}));
    EXPECT_TRUE(result.checks[0].passed);
    const std::string reason = "the program ran into the undefined opcode A5 at 0x0003 (machine cycle 2)";
    EXPECT_EQ(result.ending, reason);
    EXPECT_EQ(result.checks[1].detail, reason);
    EXPECT_FALSE(result.checks[1].passed);
    EXPECT_EQ(result.checks[2].detail, reason);
}

TEST(ScenarioRun, AStackThatRunsOverEndsTheRunAtTheTopItMayUse)
{
    const std::string checks = R"(
[[check]]
at = 10
register = "SP"
value = 0x0A
[[check]]
at = 4000
leds = "........"
)";
    // push acc; sjmp back: one more byte of stack every 4 cycles.
    const std::vector<CIntelHex::Run> pushes = Code({0xC0, 0xE0, 0x80, 0xFC});
    CRunResult wrapped = RunScenario(Scenario("[limits]\ncycles = 5000\n" + checks), pushes);
    EXPECT_TRUE(wrapped.checks[0].passed) << wrapped.checks[0].detail;
    EXPECT_EQ(wrapped.ending.rfind("stack overflow: SP went past 0xFF before 0x0002", 0), 0u) << wrapped.ending;
    EXPECT_EQ(wrapped.checks[1].detail, wrapped.ending);

    CRunResult low = RunScenario(Scenario("[limits]\ncycles = 5000\nstack-top = 0x3F\n" + checks), pushes);
    EXPECT_EQ(low.ending.rfind("stack overflow: SP went past 0x3F before 0x0002", 0), 0u) << low.ending;
    EXPECT_LT(low.checks[1].cycle, wrapped.checks[1].cycle);
}

TEST(ScenarioRun, APeriodIsMeasuredFromRisingEdgesWithinItsWindow)
{
    // cpl p1.0; mov r7,#23; djnz r7,$; sjmp back: P1.0 changes every 50 cycles.
    const std::vector<CIntelHex::Run> square = Code({0xB2, 0x90, 0x7F, 0x17, 0xDF, 0xFE, 0x80, 0xF8});
    CScenario scenario = Scenario(R"(
[limits]
cycles = 5000
[[check]]
toggles = "P1.0"
within = [0, 5000]
period = 100
[[check]]
toggles = "P1.0"
within = [1000, 3000]
period = 120
tolerance = 10
[[check]]
toggles = "P1.1"
within = [0, 5000]
period = 100
)");
    CRunResult result = RunScenario(scenario, square);
    EXPECT_TRUE(result.checks[0].passed) << result.checks[0].detail;
    EXPECT_EQ(result.checks[0].detail, "P1.0 toggled with periods of 100 cycles");
    EXPECT_EQ(result.checks[1].detail, "P1.0 toggled with periods of 100 cycles, not 120 ± 10");
    EXPECT_EQ(result.checks[2].detail, "P1.1 rose 0 times from cycle 0 to 5000: no period to measure");
    // The same program and scenario give the same result.
    CRunResult again = RunScenario(scenario, square);
    for (std::size_t i = 0; i < result.checks.size(); ++i) {
        EXPECT_EQ(again.checks[i].detail, result.checks[i].detail);
        EXPECT_EQ(again.checks[i].cycle, result.checks[i].cycle);
    }
}

TEST(ScenarioRun, SerialTextGoesInAtItsCycleAndTheAnswerIsSeenInItsWindow)
{
    // Timer 1 at 10 417 baud, mode 1; each byte received goes back one higher.
    const std::vector<CIntelHex::Run> echo = Code({0x75, 0x89, 0x20, 0x75, 0x8D, 0xFD, 0xD2, 0x8E, 0x75, 0x98, 0x50,
        0x30, 0x98, 0xFD, 0xE5, 0x99, 0xC2, 0x98, 0x04, 0xF5, 0x99, 0x30, 0x99, 0xFD, 0xC2, 0x99, 0x80, 0xEF});
    CScenario scenario = Scenario(R"(
[limits]
cycles = 20000
[[input]]
at = 1000
serial = "HAL"
[[check]]
at = 1500
serial = "IBM"
[[check]]
within = [1000, 20000]
serial = "IBM"
)");
    CRunResult result = RunScenario(scenario, echo);
    // The check looks once the instruction running at cycle 1500 has ended.
    EXPECT_EQ(result.checks[0].detail, "serial output \"\" at cycle 1501; expected \"IBM\" sent");
    EXPECT_TRUE(result.checks[1].passed) << result.checks[1].detail;
    EXPECT_EQ(result.checks[1].detail.rfind("serial output \"IBM\" at cycle ", 0), 0u) << result.checks[1].detail;
}

TEST(ScenarioRun, AProgramPastItsWallTimeFailsWhatRemains)
{
    CScenario scenario = Scenario(R"(
[limits]
cycles = 1_000_000_000_000
wall-seconds = 0.001
[[check]]
at = 0
leds = "........"
[[check]]
halts = true
by = 1_000_000_000_000
)");
    CRunResult result = RunScenario(scenario, Code({0x80, 0xFE}));
    EXPECT_TRUE(result.checks[0].passed);
    EXPECT_EQ(result.checks[1].detail.rfind("the program ran longer than the limit of 0.001 s of wall time", 0), 0u)
        << result.checks[1].detail;
}

TEST(ScenarioRun, AToggleIsMeasuredOnThePinsLevelWhoeverMovesIt)
{
    // cpl p3.2; mov r7,#23; djnz r7,$; sjmp back: the latch of P3.2 changes every 50 cycles.
    const std::vector<CIntelHex::Run> square = Code({0xB2, 0xB2, 0x7F, 0x17, 0xDF, 0xFE, 0x80, 0xF8});
    CScenario scenario = Scenario(R"(
[limits]
cycles = 12000
[[input]]
at = 0
pulse = 1100
[[input]]
at = 0
button = 0
down = true
[[input]]
at = 6000
button = 0
down = false
[[check]]
toggles = "P3.4"
within = [0, 12000]
period = 909
tolerance = 1
[[check]]
toggles = "P3.2"
within = [0, 5000]
period = 100
[[check]]
toggles = "P3.2"
within = [6000, 12000]
period = 100
)");
    CRunResult result = RunScenario(scenario, square);
    // The pulse generator's edges, which no instruction writes, each at its own cycle.
    EXPECT_TRUE(result.checks[0].passed) << result.checks[0].detail;
    EXPECT_EQ(result.checks[0].detail, "P3.4 toggled with periods of 909 to 910 cycles");
    // A held button keeps the pin low whatever the latch does.
    EXPECT_EQ(result.checks[1].detail, "P3.2 rose 0 times from cycle 0 to 5000: no period to measure");
    EXPECT_TRUE(result.checks[2].passed) << result.checks[2].detail;
}
