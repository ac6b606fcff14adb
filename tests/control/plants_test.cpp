// The board's plant models on their own.
#include <gtest/gtest.h>

#include "sim/Experiment.h"
#include "sim/Plants.h"

namespace zorkit::sim::test {
namespace {

TEST(PlantTest, HeaterAnswersAfterItsDeadTimeAndSettlesWithLag)
{
    CHeaterParameters parameters;
    parameters.deadTime = 1.0;
    CHeaterPlant heater(parameters);
    EXPECT_NEAR(heater.AdcValue(), 80.0 * 2.56, 1e-9) << "room temperature 20 reads 204.8 counts";
    heater.Drive(91);
    heater.Advance(0.5);
    heater.Advance(0.5);
    EXPECT_DOUBLE_EQ(heater.Temperature(), parameters.ambient) << "nothing within the dead time";
    heater.Advance(0.5);
    EXPECT_GT(heater.Temperature(), parameters.ambient);
    for (int k = 0; k < 400; ++k)
        heater.Advance(0.5);
    EXPECT_NEAR(heater.Temperature(), 90.0, 0.01) << "full power settles 70 above room";
    EXPECT_NEAR(heater.AdcValue(), 10.0 * 2.56, 0.03) << "the reading falls as the temperature rises";
    heater.Drive(0);
    for (int k = 0; k < 400; ++k)
        heater.Advance(0.5);
    EXPECT_NEAR(heater.Temperature(), 20.0, 0.01);
}

TEST(PlantTest, MotorDrivesHarderForLowerBytes)
{
    auto settled = [](BYTE drive) {
        CMotorPlant motor;
        motor.Drive(drive);
        for (int k = 0; k < 200; ++k)
            motor.Advance(0.05);
        return motor.AdcValue();
    };
    EXPECT_NEAR(settled(32), 240.0, 0.01) << "strongest";
    EXPECT_NEAR(settled(0), 240.0, 0.01) << "below 32 drives no harder";
    EXPECT_NEAR(settled(239), 0.0, 0.01) << "weakest";
    EXPECT_NEAR(settled(255), 0.0, 0.01);
    EXPECT_GT(settled(100), settled(150));
}

TEST(PlantTest, ExperimentSendsOneSamplePerAnswerAndHoldsWhenUnanswered)
{
    using Clock = CExperiment::Clock;
    CExperimentSettings settings;
    settings.samplePeriod = std::chrono::milliseconds(10);
    settings.answerWindow = std::chrono::milliseconds(100);
    Clock::time_point t0 = Clock::now();
    CExperiment experiment(settings, t0);
    CExperiment::Output out;
    experiment.Tick(t0 + std::chrono::milliseconds(5), out);
    EXPECT_TRUE(out.empty()) << "not before the first period";
    experiment.Tick(t0 + std::chrono::milliseconds(10), out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0], 205) << "room temperature, rounded";
    experiment.Receive(91, t0 + std::chrono::milliseconds(12), out);
    EXPECT_EQ(experiment.State().answers, 1u);
    EXPECT_EQ(experiment.NextDeadline(), t0 + std::chrono::milliseconds(22));
    experiment.Receive(0, t0 + std::chrono::milliseconds(13), out);
    EXPECT_EQ(experiment.State().answers, 1u) << "a byte without a sample before it is noise";
    experiment.Tick(t0 + std::chrono::milliseconds(22), out);
    EXPECT_EQ(out.size(), 2u);
    experiment.Tick(t0 + std::chrono::milliseconds(122), out);
    EXPECT_EQ(out.size(), 3u) << "an unanswered sample is followed by the next";
    EXPECT_EQ(experiment.State().samples, 3u);
}

TEST(PlantTest, StepperAnswersEveryStepCommandWithItsPosition)
{
    CExperimentSettings settings;
    settings.plant = PlantKind::Stepper;
    CExperiment experiment(settings, CExperiment::Clock::now());
    EXPECT_FALSE(experiment.NextDeadline()) << "the stepper sends nothing by itself";
    CExperiment::Output out;
    auto now = CExperiment::Clock::now();
    experiment.Receive(0x55, now, out);
    experiment.Receive(0x55, now, out);
    experiment.Receive(0x12, now, out);
    experiment.Receive(0xAA, now, out);
    EXPECT_EQ(out, (CExperiment::Output{0xFF, 0xFE, 0xFF}));
    EXPECT_EQ(experiment.State().position, -1);
}

}
}
