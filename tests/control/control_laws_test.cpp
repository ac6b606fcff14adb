// The arithmetic of the control laws: output mappings, the PID rules, the fuzzy
// quantisation and rule tables, and the experiment text field.
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "zorkit/link/internal/ControlLaws.h"
#include "tests/control/ControlFixture.h"

namespace zorkit::control::test {
namespace {

BYTE Out(char c) { return BYTE(c); }

TEST(ControlOutputTest, TemperatureByteCoversFullPowerToOff)
{
    EXPECT_EQ(TemperatureOutput(-40.0), 91) << "a plant too cold gets full power";
    EXPECT_EQ(TemperatureOutput(0.05), 91);
    EXPECT_EQ(TemperatureOutput(0.1), 90) << "0.1 is no longer below the full-power limit";
    EXPECT_EQ(TemperatureOutput(0.5), 90) << "91 - 0.5 truncates to 90";
    EXPECT_EQ(TemperatureOutput(45.7), 45);
    EXPECT_EQ(TemperatureOutput(90.5), 0);
    EXPECT_EQ(TemperatureOutput(91.0), 0);
    EXPECT_EQ(TemperatureOutput(91.5), 0);
    EXPECT_EQ(TemperatureOutput(1e12), 0);
    EXPECT_EQ(TemperatureOutput(std::numeric_limits<double>::quiet_NaN()), 0) << "NaN gains must switch the heater off";
}

TEST(ControlOutputTest, SpeedByteCoversWeakestToStrongestDrive)
{
    EXPECT_EQ(SpeedOutput(-5.0), 239);
    EXPECT_EQ(SpeedOutput(16.9), 239);
    EXPECT_EQ(SpeedOutput(17.0), 239);
    EXPECT_EQ(SpeedOutput(17.5), 238);
    EXPECT_EQ(SpeedOutput(128.0), 128);
    EXPECT_EQ(SpeedOutput(255.5), 0);
    EXPECT_EQ(SpeedOutput(256.0), 0) << "exactly 256 is not above the limit: 256 - 256";
    EXPECT_EQ(SpeedOutput(256.5), 32) << "above 256 the drive is 0x20, not 0";
    EXPECT_EQ(SpeedOutput(std::numeric_limits<double>::quiet_NaN()), 239) << "NaN gains must give the weakest drive";
}

TEST(ControlOutputTest, FuzzyQuantisationRoundsHalvesAwayFromZeroAndClamps)
{
    EXPECT_EQ(QuantiseFuzzy(2.5f), 3);
    EXPECT_EQ(QuantiseFuzzy(-2.5f), -3);
    EXPECT_EQ(QuantiseFuzzy(2.49f), 2);
    EXPECT_EQ(QuantiseFuzzy(0.0f), 0);
    EXPECT_EQ(QuantiseFuzzy(-0.5f), -1);
    EXPECT_EQ(QuantiseFuzzy(0.4f), 0);
    EXPECT_EQ(QuantiseFuzzy(6.4f), 6);
    EXPECT_EQ(QuantiseFuzzy(9.0f), 6);
    EXPECT_EQ(QuantiseFuzzy(-10.0f), -6);
    EXPECT_EQ(QuantiseFuzzy(3e38f), 6) << "a huge scaled error must clamp, not overflow";
    EXPECT_EQ(QuantiseFuzzy(-3e38f), -6);
}

TEST(ControlOutputTest, RuleTablesHaveTheirDistinctiveCells)
{
    // Rows -6..-4 of table 1 alternate 7 and 6; the zero-error row reaches 5 at change -3.
    EXPECT_EQ(kFuzzyRules1[0][0], 7);
    EXPECT_EQ(kFuzzyRules1[0][1], 6);
    EXPECT_EQ(kFuzzyRules1[2][6], 5);
    EXPECT_EQ(kFuzzyRules1[3][6], 3);
    EXPECT_EQ(kFuzzyRules1[6][3], 5);
    EXPECT_EQ(kFuzzyRules1[7][2], 2);
    EXPECT_EQ(kFuzzyRules1[8][1], 1);
    EXPECT_EQ(kFuzzyRules2[0][8], 1);
    EXPECT_EQ(kFuzzyRules2[3][6], 3);
    EXPECT_EQ(kFuzzyRules2[6][2], 3);
    EXPECT_EQ(kFuzzyRules2[8][4], 1);
    EXPECT_EQ(kFuzzyRules2[8][5], 0);
    int sum1 = 0, sum2 = 0;
    for (int r = 0; r < 13; ++r)
        for (int c = 0; c < 13; ++c) {
            sum1 += kFuzzyRules1[r][c];
            sum2 += kFuzzyRules2[r][c];
            if (r >= 9 || c >= 10) {
                EXPECT_EQ(kFuzzyRules1[r][c], 0) << r << "," << c;
                EXPECT_EQ(kFuzzyRules2[r][c], 0) << r << "," << c;
            }
        }
    // Row sums of the printed tables, a check on every cell at once.
    EXPECT_EQ(sum1, 56 + 51 + 53 + 44 + 28 + 25 + 19 + 6 + 3);
    EXPECT_EQ(sum2, 24 + 22 + 21 + 24 + 16 + 12 + 13 + 9 + 6);
}

class ControlLawTest : public ControlTest {};

TEST_F(ControlLawTest, TemperaturePidLeavesTheIntegralOutBelowOneVoltButKeepsSumming)
{
    link->SetTargetTemp(0);
    link->SetKpKiKd(0.0f, 0.5f, 0.0f);
    // e = v - 0: 0.5 and 0.9 V are below a volt, so no integral although the sum grows.
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 0.5f, 0)), 91);
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 0.9f, 1)), 91);
    // At 1.0 V the sum of all three errors acts: u = 0.5 * 2.4, x = 61.44.
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 1.0f, 2)), 29);
    // Too cold never integrates.
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, -3.0f, 3)), 91);
    // Index 0 starts the sum again: only this error counts, u = 0.5, x = 25.6.
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 1.0f, 0)), 65);
}

TEST_F(ControlLawTest, TemperaturePidProportionalAndDerivativeTerms)
{
    link->SetTargetTemp(50);
    link->SetKpKiKd(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 2.5f, 0)), 91) << "no error: full power";
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 3.0f, 1)), 65) << "0.5 V too hot: x = 25.6";
    link->SetKpKiKd(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 3.0f, 0)), 65) << "the first change is from 0";
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 3.0f, 1)), 91) << "no change, no derivative";
}

TEST_F(ControlLawTest, SpeedPidSumsOnlyEarlierErrors)
{
    link->SetTargetVilo(300);
    link->SetKpKiKd(0.0f, 1.0f, 0.0f);
    EXPECT_EQ(Out(CZORCommProbe::Vilocity(*link, 2.0f, 0)), 239) << "the first pass has no earlier error";
    EXPECT_EQ(Out(CZORCommProbe::Vilocity(*link, 2.5f, 1)), 204) << "sum 1.0: x = 51.2";
    EXPECT_EQ(Out(CZORCommProbe::Vilocity(*link, 2.5f, 2)), 179) << "sum 1.5: x = 76.8";
    link->SetKpKiKd(0.0f, 0.0f, 1.0f);
    EXPECT_EQ(Out(CZORCommProbe::Vilocity(*link, 2.0f, 0)), 204);
    EXPECT_EQ(Out(CZORCommProbe::Vilocity(*link, 2.0f, 1)), 239);
    link->SetKpKiKd(10.0f, 0.0f, 0.0f);
    EXPECT_EQ(Out(CZORCommProbe::Vilocity(*link, 0.0f, 0)), 32) << "far too slow: strongest drive";
}

TEST_F(ControlLawTest, FuzzyLawsLookUpTheirTablesAndScale)
{
    EXPECT_FLOAT_EQ(CZORCommProbe::Fuzzy2(*link, 0.1f, 0.1f), 0.0f) << "nE 2, nEC 0";
    EXPECT_FLOAT_EQ(CZORCommProbe::Fuzzy2(*link, -0.3f, -0.2f), 5.0f) << "nE -6, nEC -10 clamped to -6";
    link->SetKpKiKd(1.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(CZORCommProbe::Fuzzy1(*link, -4.0f, -4.0f), 5.0f) << "table 1 row -4, column 0";
    EXPECT_FLOAT_EQ(CZORCommProbe::Fuzzy1(*link, 0.0f, 3.0f), 5.0f) << "table 1 row 0, column -3";
    EXPECT_FLOAT_EQ(CZORCommProbe::Fuzzy1(*link, 2.0f, 7.0f), 1.0f) << "table 1 row 2, column -5";
    link->SetKpKiKd(1.0f, 1.0f, 20.0f);
    EXPECT_FLOAT_EQ(CZORCommProbe::Fuzzy1(*link, -6.0f, 0.0f), 91.0f) << "7 x 20 is cut at 91";
    link->SetKpKiKd(1.0f, 1.0f, -2.0f);
    EXPECT_FLOAT_EQ(CZORCommProbe::Fuzzy1(*link, -6.0f, 0.0f), -14.0f) << "there is no lower limit";

    std::ifstream log(CCommPort::GetLogPath(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("F2(2,0)  \r\n"), std::string::npos) << "the trace goes to the communication log";
    EXPECT_NE(text.find("F2(-6,-6)  \r\n"), std::string::npos);
    EXPECT_NE(text.find("F1(-4,0)  \r\n"), std::string::npos);
}

TEST_F(ControlLawTest, FuzzyTemperatureLawChoosesItsTableByTheError)
{
    link->SetTargetTemp(50);
    link->SetKpKiKd(2.0f, 1.0f, 10.0f);
    // e = -0.3 is above -0.5: table 2 at (-6, -6) gives 5, so 91 - 5.
    EXPECT_EQ(Out(CZORCommProbe::Temperature(*link, 2.2f, 0)), 86);
    // e = -1.0: table 1 with ke 2, kc 1, ku 10 at (-2, -1): 4 x 10.
    EXPECT_EQ(Out(CZORCommProbe::Temperature(*link, 1.5f, 0)), 51);
    // The speed law works on 5 V per 500 and keeps its own previous error.
    link->SetTargetVilo(250);
    EXPECT_EQ(Out(CZORCommProbe::Vilocity1(*link, 2.2f, 0)), 86);
}

TEST_F(ControlLawTest, ExperimentTextIsCutAtTheFieldAndTerminated)
{
    EXPECT_EQ(link->GetCurrentCtrl(), -1);
    EXPECT_EQ(link->IsSameToBeforeCtrl(), 1) << "a fresh link has no current and no previous control";
    EXPECT_EQ(link->IsCtrlRunning(), 0);

    std::string longText(80, 'x');
    link->SetSampleNums(0);
    link->SetControl(CTRL_TEMP, longText.data());
    EXPECT_EQ(std::strlen(CZORCommProbe::Text(*link)), std::size_t(CZORComm::kCtrlTextSize - 1));
    EXPECT_EQ(link->GetCurrentCtrl(), CTRL_TEMP);
    ASSERT_TRUE(WaitLoopEnd());

    // 48 letters and a two-byte character: the character does not fit whole and is left out.
    std::string gbk = std::string(48, 'a') + "\xCE\xC2";
    link->SetControl(CTRL_TEMP, gbk.data());
    EXPECT_EQ(std::string(CZORCommProbe::Text(*link)), std::string(48, 'a'));
    ASSERT_TRUE(WaitLoopEnd());
    link->SetControl(CTRL_TEMP, nullptr);
    EXPECT_STREQ(CZORCommProbe::Text(*link), "");
    ASSERT_TRUE(WaitLoopEnd());
}

TEST_F(ControlLawTest, TwoLinksKeepTheirOwnControllerMemory)
{
    CBoardLink other(41);
    ASSERT_TRUE(other.link->IsActive());
    link->SetTargetTemp(0);
    link->SetKpKiKd(0.0f, 0.5f, 0.0f);
    other.link->SetTargetTemp(0);
    other.link->SetKpKiKd(0.0f, 0.5f, 0.0f);
    CZORCommProbe::Temperature1(*link, 0.5f, 0);
    CZORCommProbe::Temperature1(*link, 0.9f, 1);
    // The other link's first sample must not clear this link's sum.
    CZORCommProbe::Temperature1(*other.link, 4.0f, 0);
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*link, 1.0f, 2)), 29);
    EXPECT_EQ(Out(CZORCommProbe::Temperature1(*other.link, 1.0f, 1)), 0) << "sum 5.0: u = 2.5, x = 128";
}

}
}
