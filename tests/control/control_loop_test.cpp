// The sampling loop against the virtual board's plants over a pseudo-terminal:
// the bytes of each pass, its ending, its restart and its failures.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "zorkit/platform/core/Gbk.h"

#include "tests/control/ControlFixture.h"

namespace zorkit::control::test {
namespace {

sim::CExperimentSettings Fast(sim::PlantKind plant)
{
    sim::CExperimentSettings settings;
    settings.plant = plant;
    settings.samplePeriod = 1ms;
    // A loaded machine may keep the loop from answering for a while; the board must
    // not send another sample meanwhile unless a test asks for it.
    settings.answerWindow = 30s;
    return settings;
}

class ControlLoopTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        link->SetPeriod(1);
        link->SetTargetTemp(60);
        link->SetTargetVilo(300);
        link->SetKpKiKd(10.0f, 0.0f, 20.0f);
    }

    // After a loop the board has sent one sample more than was answered; it is
    // dropped so that the next experiment starts on its own plant.
    void DropStaleSample()
    {
        ASSERT_TRUE(board->WireLog().WaitReceived(samples.size(), kPatience));
        ASSERT_TRUE(board->WireLog().WaitSent(samples.size() + 1, kPatience));
        board->StopExperiment();
        link->PurgeInput();
        samples.clear();
        board->WireLog().Clear();
    }
};

TEST_F(ControlLoopTest, EachTemperaturePassAnswersOneSampleAndReportsIt)
{
    StartExperiment(Fast(sim::PlantKind::Heater), CTRL_TEMP, 5);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_TRUE(board->WireLog().WaitReceived(5, kPatience));

    std::vector<BYTE> sent = board->WireLog().Sent();
    std::vector<BYTE> received = board->WireLog().Received();
    EXPECT_EQ(received.size(), 5u) << "one answer byte per counted sample and nothing else";
    EXPECT_EQ(Plant().answers, 5u);
    ASSERT_EQ(samples.size(), 5u);
    ASSERT_GE(sent.size(), 5u);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        EXPECT_NEAR(samples[k].shown, ShownTemperature(sent[k]), 1e-4) << "sample " << k;
        EXPECT_EQ(samples[k].lParam, 0) << "temperature samples carry no raw byte";
        EXPECT_LE(received[k], 91) << "heating power is 0 to 91";
    }
    EXPECT_EQ(received[0], 91) << "a cold plant gets full power at first";
    EXPECT_EQ(link->IsCtrlRunning(), 0);
    EXPECT_EQ(link->IsSameToBeforeCtrl(), 1);
}

TEST_F(ControlLoopTest, ShownValuesFollowTheAdcScales)
{
    sim::CExperimentSettings hot = Fast(sim::PlantKind::Heater);
    hot.heater.ambient = 100.0;
    hot.heater.fullRise = 0.0;
    StartExperiment(hot, CTRL_TEMP, 1);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_FLOAT_EQ(samples[0].shown, 100.0f) << "byte 0 is 5 V, shown 100";

    DropStaleSample();
    sim::CExperimentSettings half = hot;
    half.heater.ambient = 50.0;
    StartExperiment(half, CTRL_TEMP, 1);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_EQ(samples.size(), 1u);
    EXPECT_EQ(board->WireLog().Sent().at(0), 128);
    EXPECT_FLOAT_EQ(samples[0].shown, 50.0f) << "byte 128 is 2.5 V, shown 50";

    // A motor that reaches its top speed of 128 counts in one step, driven hard.
    DropStaleSample();
    sim::CExperimentSettings motor = Fast(sim::PlantKind::Motor);
    motor.motor.topSpeed = 128.0;
    motor.motor.timeConstant = 1e-6;
    link->SetTargetVilo(500);
    StartExperiment(motor, CTRL_VILO, 2);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_EQ(samples.size(), 2u);
    EXPECT_EQ(samples[1].raw, 128);
    EXPECT_FLOAT_EQ(samples[1].shown, 250.0f);
    EXPECT_EQ(board->WireLog().Received().front(), 32) << "far below the set point: strongest drive";
}

TEST_F(ControlLoopTest, SampleAddressesPointIntoTheLinkNotAStack)
{
    StartExperiment(Fast(sim::PlantKind::Motor), CTRL_VILO, 4);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_EQ(samples.size(), 4u);
    auto inside = [this](WPARAM address) {
        auto begin = reinterpret_cast<std::uintptr_t>(link);
        return address >= begin && address < begin + sizeof(CZORComm);
    };
    for (const CSample& sample : samples) {
        EXPECT_TRUE(inside(sample.address)) << "the shown value must outlive a terminated worker";
        EXPECT_TRUE(inside(WPARAM(sample.lParam))) << "so must the raw byte";
        EXPECT_EQ(sample.address, samples[0].address);
    }
    // The last sample stays readable after the loop.
    EXPECT_EQ(*reinterpret_cast<const float*>(samples.back().address), samples.back().shown);
}

TEST_F(ControlLoopTest, PurgesStrayInputBeforeAnswering)
{
    sim::CExperimentSettings noisy = Fast(sim::PlantKind::Heater);
    noisy.strayByte = true;
    StartExperiment(noisy, CTRL_TEMP, 4);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_EQ(samples.size(), 4u);
    ASSERT_TRUE(board->WireLog().WaitReceived(4, kPatience));
    for (const CSample& sample : samples)
        EXPECT_GT(sample.shown, 10.0f) << "the stray 0xFF (shown 0.4) after a sample must never be taken as one";
    EXPECT_EQ(Plant().answers, 4u);
    EXPECT_EQ(board->WireLog().ReceivedCount(), 4u);
}

TEST_F(ControlLoopTest, NoSamplesEndAtOnce)
{
    StartExperiment(Fast(sim::PlantKind::Heater), CTRL_VILO, 0);
    ASSERT_TRUE(WaitLoopEnd());
    EXPECT_EQ(link->IsCtrlRunning(), 0);
    EXPECT_EQ(link->GetCurrentCtrl(), CTRL_VILO);
    EXPECT_EQ(board->WireLog().ReceivedCount(), 0u);
    EXPECT_TRUE(samples.empty());

    link->SetSampleNums(-3);
    link->SetControl(CTRL_TEMP, nullptr);
    ASSERT_TRUE(WaitLoopEnd());
    EXPECT_EQ(link->GetCurrentCtrl(), CTRL_TEMP);
}

TEST_F(ControlLoopTest, SetCtrlExitEndsTheLoopAfterThePassUnderWay)
{
    sim::CExperimentSettings settings = Fast(sim::PlantKind::Heater);
    settings.answerWindow = 20ms;
    StartExperiment(settings, CTRL_TEMP, 1000000);
    ASSERT_TRUE(PumpUntil([this] { return Plant().answers >= 3; }));
    EXPECT_EQ(link->IsCtrlRunning(), 1);
    EXPECT_EQ(link->IsSameToBeforeCtrl(), 0);
    link->SetCtrlExit(0);
    ASSERT_TRUE(WaitLoopEnd());
    std::size_t reported = samples.size();
    ASSERT_TRUE(board->WireLog().WaitReceived(reported, kPatience)) << "every reported sample was answered";
    // The board gives up on its next sample and sends another; nobody answers either.
    ASSERT_TRUE(board->WireLog().WaitSent(reported + 2, kPatience));
    EXPECT_EQ(board->WireLog().ReceivedCount(), reported);
}

TEST_F(ControlLoopTest, SecondSetControlEndsTheRunningLoopWithoutItsEnding)
{
    // An unanswered sample is followed by the next after 200 ms: time enough for an
    // answer the old loop wrote just before it ended to arrive first.
    sim::CExperimentSettings settings = Fast(sim::PlantKind::Heater);
    settings.answerWindow = 200ms;
    StartExperiment(settings, CTRL_TEMP, 1000000);
    ASSERT_TRUE(PumpUntil([this] { return Plant().answers >= 3 && link->IsCtrlRunning(); }));

    // A mode outside the three exchanges nothing and never counts.
    link->SetControl(static_cast<CTRLTYPE>(7), nullptr);
    EXPECT_EQ(link->GetCurrentCtrl(), 7);
    EXPECT_EQ(link->IsSameToBeforeCtrl(), 0) << "the terminated loop must not record its control as previous";
    EXPECT_TRUE(CZORCommProbe::WorkerRuns(*link)) << "the new loop runs in the slot";
    // Once the board has sent a sample after the switch, any answer in flight has arrived.
    ASSERT_TRUE(board->WireLog().WaitSent(Plant().samples + 1, kPatience));
    std::size_t answered = board->WireLog().ReceivedCount();
    std::size_t reported = samples.size();
    ASSERT_TRUE(board->WireLog().WaitSent(Plant().samples + 2, kPatience)) << "the board goes on sampling";
    EXPECT_EQ(board->WireLog().ReceivedCount(), answered) << "the old loop answers no more";
    EXPECT_EQ(samples.size(), reported);

    // A temperature loop again: it counts from its own start.
    link->SetSampleNums(3);
    link->SetControl(CTRL_TEMP, nullptr);
    ASSERT_TRUE(WaitLoopEnd());
    EXPECT_EQ(samples.size(), reported + 3);
    EXPECT_TRUE(board->WireLog().WaitReceived(answered + 3, kPatience));
    EXPECT_EQ(link->GetCurrentCtrl(), CTRL_TEMP);
}

TEST_F(ControlLoopTest, FailedPassesAreTakenAgain)
{
    board->SetSilent(true);
    StartExperiment(Fast(sim::PlantKind::Heater), CTRL_TEMP, 2);
    ASSERT_TRUE(PumpUntil([this] { return link->IsCtrlRunning() == 1; }));
    // A mask change from the host wakes the waiting loop without a byte: that pass fails.
    link->SetEventMask(EV_RXCHAR);
    board->SetSilent(false);
    ASSERT_TRUE(WaitLoopEnd());
    EXPECT_EQ(samples.size(), 2u);
    ASSERT_TRUE(board->WireLog().WaitReceived(2, kPatience));
    EXPECT_EQ(Plant().answers, 2u) << "a failed pass does not count: both samples are answered";
}

TEST_F(ControlLoopTest, FirstSampleIsAnsweredAtOnceNotAfterAPause)
{
    // The loop's own mask setting, and the host's before the loop began, must not
    // end its first wait empty-handed: that would cost a whole period of the plant.
    link->SetPeriod(2000);
    StartExperiment(Fast(sim::PlantKind::Heater), CTRL_TEMP, 1);
    ASSERT_TRUE(board->WireLog().WaitReceived(1, kPatience));
    std::vector<sim::CWireByte> wire = board->WireLog().Entries();
    auto sent = std::find_if(wire.begin(), wire.end(), [](const sim::CWireByte& b) { return b.direction == sim::WireDirection::Sent; });
    auto answer = std::find_if(wire.begin(), wire.end(), [](const sim::CWireByte& b) { return b.direction == sim::WireDirection::Received; });
    ASSERT_TRUE(sent != wire.end() && answer != wire.end());
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(answer->time - sent->time).count(), 1000) << "the answer waited for the loop's pause";
    ASSERT_TRUE(WaitLoopEnd());
}

TEST_F(ControlLoopTest, LostLineNeverCountsAndExitStillWorks)
{
    StartExperiment(Fast(sim::PlantKind::Heater), CTRL_TEMP, 1000000);
    ASSERT_TRUE(PumpUntil([this] { return Plant().answers >= 2; }));
    board->HangUp();
    link->SetCtrlExit(0);
    ASSERT_TRUE(WaitLoopEnd()) << "a hung-up line fails every pass, but the loop still ends on request";
    EXPECT_EQ(link->IsCtrlRunning(), 0);
}

// How often the UTF-8 `line` stands in the communication log.
int LogCount(const std::string& line)
{
    std::ifstream log(CCommPort::GetLogPath(), std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    std::string wanted = GbkFromUtf8(line) + "\r\n";
    int count = 0;
    for (std::size_t at = text.find(wanted); at != std::string::npos; at = text.find(wanted, at + 1))
        ++count;
    return count;
}

TEST_F(ControlLoopTest, SetControlEndsAResponseWatcherAtOnceAndTheLoopLowersTheRunningFlag)
{
    ASSERT_TRUE(link->SetZORRunning(1));
    ASSERT_TRUE(CZORCommProbe::WorkerRuns(*link));
    ASSERT_TRUE(link->IsZORRunning());
    sim::CExperimentSettings settings = Fast(sim::PlantKind::Heater);
    settings.answerWindow = 20ms;
    StartExperiment(settings, CTRL_TEMP, 3);
    ASSERT_TRUE(WaitLoopEnd());
    EXPECT_EQ(samples.size(), 3u);
    EXPECT_FALSE(link->IsZORRunning()) << "the terminated watcher left the flag up; the loop clears it";
    EXPECT_EQ(LogCount("响应监视线程即将终止"), 0) << "the watcher was ended without its own ending";
    EXPECT_EQ(LogCount("创建响应等待监视线程..."), 2) << "one line for the watcher, one for the loop";
}

TEST_F(ControlLoopTest, StepperStepsInTheSetDirectionOncePerPass)
{
    StartExperiment(Fast(sim::PlantKind::Stepper), CTRL_SMOTOR, 6);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_TRUE(board->WireLog().WaitReceived(6, kPatience));
    EXPECT_EQ(Plant().position, 6);
    EXPECT_EQ(board->WireLog().Received(), std::vector<BYTE>(6, 0xAA));
    EXPECT_TRUE(samples.empty()) << "the stepper reports no samples";

    board->WireLog().Clear();
    link->SetSMotorDirection(0);
    link->SetSampleNums(4);
    link->SetControl(CTRL_SMOTOR, nullptr);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_TRUE(board->WireLog().WaitReceived(4, kPatience));
    EXPECT_EQ(Plant().position, 2);
    EXPECT_EQ(board->WireLog().Received(), std::vector<BYTE>(4, 0x55));
}

}
}
