// The whole loop closed through the virtual board: with sensible gains each plant
// settles at its set point.
#include <algorithm>
#include <numeric>

#include "tests/control/ControlFixture.h"

namespace zorkit::control::test {
namespace {

class ControlSettleTest : public ControlTest {
protected:
    // Mean, lowest and highest shown value over the last `n` samples.
    struct CTail {
        double mean, low, high;
    };
    CTail Tail(std::size_t n) const
    {
        CTail tail{0.0, 1e9, -1e9};
        for (std::size_t k = samples.size() - n; k < samples.size(); ++k) {
            tail.mean += samples[k].shown / double(n);
            tail.low = std::min(tail.low, double(samples[k].shown));
            tail.high = std::max(tail.high, double(samples[k].shown));
        }
        return tail;
    }
};

TEST_F(ControlSettleTest, HeaterSettlesAtTheSetPoint)
{
    sim::CExperimentSettings settings;
    settings.plant = sim::PlantKind::Heater;
    settings.samplePeriod = 1ms;
    settings.noise = 0.5;
    link->SetPeriod(0);
    link->SetTargetTemp(60);
    link->SetKpKiKd(10.0f, 0.0f, 20.0f);
    StartExperiment(settings, CTRL_TEMP, 200);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_EQ(samples.size(), 200u);
    EXPECT_LT(samples.front().shown, 25.0f) << "the plant starts at room temperature";
    CTail tail = Tail(60);
    // A proportional heater settles a little above the set point: it needs power to hold it.
    EXPECT_NEAR(tail.mean, 60.0, 2.5);
    EXPECT_GT(tail.low, 57.0);
    EXPECT_LT(tail.high, 64.0);
}

TEST_F(ControlSettleTest, MotorSettlesAtTheSetPoint)
{
    sim::CExperimentSettings settings;
    settings.plant = sim::PlantKind::Motor;
    settings.samplePeriod = 1ms;
    settings.step = 0.05;
    settings.noise = 0.5;
    link->SetPeriod(0);
    link->SetTargetVilo(300);
    link->SetKpKiKd(1.0f, 0.2f, 0.0f);
    StartExperiment(settings, CTRL_VILO, 200);
    ASSERT_TRUE(WaitLoopEnd());
    ASSERT_EQ(samples.size(), 200u);
    EXPECT_LT(samples.front().shown, 10.0f) << "the motor starts at rest";
    CTail tail = Tail(60);
    EXPECT_NEAR(tail.mean, 300.0, 3.0) << "the integral removes the offset";
    EXPECT_GT(tail.low, 292.0);
    EXPECT_LT(tail.high, 308.0);
}

}
}
