// Control runs on the virtual board's plants through the session, and their exports.
#include "tests/studio/SessionFixture.h"

#include <algorithm>
#include <cmath>

#include "zorkit/platform/gdi/PngFile.h"
#include "tests/studio/PictureCheck.h"
#include "tools/zorstudio/ExperimentExport.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CExperimentSetup;
using zorstudio::DefaultSetup;
using zorstudio::ExperimentKind;

class ExperimentTest : public SessionTest {
protected:
    zorstudio::CExperimentRecord& RunToEnd(const CExperimentSetup& setup)
    {
        int heard = 0;
        EXPECT_TRUE(session.StartExperiment(setup, [&](const zorstudio::CExperimentSample&) { ++heard; }))
            << session.LastError();
        EXPECT_EQ(session.State(), zorstudio::LinkState::Experiment);
        EXPECT_TRUE(session.WaitForExperimentEnd(kWaitMs * 3)) << "the run ends by itself";
        EXPECT_EQ(heard, int(session.Experiment()->Samples().size())) << "every sample was handed on";
        return *session.Experiment();
    }
};

// How the output byte behaves once the run has settled.
struct COutputCalm {
    double deviation;   // standard deviation
    double railShare;   // share of samples at full power (91) or off (0)
};

COutputCalm OutputCalm(const zorstudio::CExperimentRecord& record, int from)
{
    const auto& samples = record.Samples();
    double sum = 0, squares = 0;
    int rails = 0, n = 0;
    for (std::size_t i = std::size_t(from); i < samples.size(); ++i, ++n) {
        sum += samples[i].output;
        squares += double(samples[i].output) * samples[i].output;
        rails += samples[i].output == 0 || samples[i].output == 91;
    }
    const double mean = sum / n;
    return {std::sqrt(std::max(0.0, squares / n - mean * mean)), double(rails) / n};
}

// The default temperature gains settle the noisy heater calmly at the set points a
// student is likely to try: the output byte moves about its mean instead of jumping
// between full power and off, as it does with the gains the demo had.
TEST_F(ExperimentTest, DefaultTemperatureGainsSettleCalmly)
{
    for (int setPoint : {50, 60, 70}) {
        SCOPED_TRACE(setPoint);
        CExperimentSetup setup = DefaultSetup(ExperimentKind::Temperature);
        setup.setPoint = setPoint;
        setup.period = 0;
        auto& record = RunToEnd(setup);
        ASSERT_EQ(record.Samples().size(), std::size_t(setup.samples));
        const zorstudio::CSettlingFigures f = record.Figures();
        ASSERT_TRUE(f.settledAt) << "final " << f.finalValue;
        EXPECT_LT(*f.settledAt, setup.samples / 4) << "settled in the first quarter of the run";
        EXPECT_GT(f.offset, 0.0) << "a PD law settles above the set point";
        EXPECT_LT(f.offset, 3.5) << "the law without integral leaves a small offset";
        EXPECT_LT(f.overshoot, 5.0);
        const COutputCalm calm = OutputCalm(record, *f.settledAt);
        EXPECT_LT(calm.deviation, 12.0);
        EXPECT_LT(calm.railShare, 0.05);
        EXPECT_GT(f.outputLow, 0) << "the heater is never switched off once settled";
        session.Poll();
        EXPECT_EQ(session.State(), zorstudio::LinkState::Connected) << "the board is back in its monitor";
    }
    CExperimentSetup demo = DefaultSetup(ExperimentKind::Temperature);
    demo.kp = 10.0f, demo.ki = 0.0f, demo.kd = 20.0f;
    demo.period = 0;
    auto& swinging = RunToEnd(demo);
    const COutputCalm calm = OutputCalm(swinging, 100);
    EXPECT_GT(calm.railShare, 0.2) << "the demo's old gains swing between the rails";
    EXPECT_GT(calm.deviation, 20.0);
}

TEST_F(ExperimentTest, DefaultSpeedGainsSettleWithoutOvershoot)
{
    CExperimentSetup setup = DefaultSetup(ExperimentKind::Speed);
    setup.samples = 100;
    setup.period = 0;
    const auto f = RunToEnd(setup).Figures();
    ASSERT_TRUE(f.settledAt);
    EXPECT_LT(*f.settledAt, 50);
    EXPECT_LT(std::abs(f.offset), f.band);
    EXPECT_LT(f.overshoot, f.band);
}

TEST_F(ExperimentTest, AStoppedRunKeepsItsSamples)
{
    CExperimentSetup setup = DefaultSetup(ExperimentKind::Temperature);
    setup.samples = 100000;
    setup.period = 1;
    ASSERT_TRUE(session.StartExperiment(setup, [&](const zorstudio::CExperimentSample& s) {
        if (s.index == 20)
            session.StopExperiment();
    }));
    ASSERT_TRUE(session.WaitForExperimentEnd(kWaitMs));
    const auto count = session.Experiment()->Samples().size();
    EXPECT_GE(count, 21u);
    EXPECT_LT(count, 100u);
    EXPECT_FALSE(session.IsExperimentRunning());
}

TEST_F(ExperimentTest, BadSetupsAndABusyLineAreRefused)
{
    CExperimentSetup setup = DefaultSetup(ExperimentKind::Temperature);
    setup.setPoint = 101;
    EXPECT_FALSE(session.StartExperiment(setup));
    EXPECT_NE(session.LastError().find("0 to 100"), std::string::npos) << session.LastError();
    setup = DefaultSetup(ExperimentKind::Speed);
    setup.samples = 0;
    EXPECT_FALSE(session.StartExperiment(setup));
    EXPECT_EQ(session.Experiment(), nullptr) << "no record of a run that did not start";

    ASSERT_TRUE(session.ToggleBreakpoint(0x0100));
    ASSERT_TRUE(session.Run(0x0100));
    EXPECT_FALSE(session.StartExperiment(DefaultSetup(ExperimentKind::Temperature))) << "a run is being watched";
    ASSERT_TRUE(session.WaitForStop(kWaitMs));
}

TEST_F(ExperimentTest, ExportsPictureSamplesAndPrintout)
{
    CExperimentSetup setup = DefaultSetup(ExperimentKind::Temperature);
    setup.samples = 60;
    setup.period = 0;
    auto& record = RunToEnd(setup);

    const std::string png = scratch.File("run.png");
    ASSERT_TRUE(zorstudio::ExportPng(record, png));
    auto picture = ReadPng(png.c_str());
    ASSERT_TRUE(picture);
    ExpectReferenceLineAt(*picture, ReferenceRow(setup.setPoint, 200));

    const std::string csv = scratch.File("run.csv");
    ASSERT_TRUE(zorstudio::ExportCsv(record, csv));
    std::istringstream lines(TempDir::Read(csv));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "index,time_ms,shown,raw,output");
    int rows = 0;
    for (; std::getline(lines, line); ++rows) {
        int index, ms, raw, output;
        double shown;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d,%d,%lf,%d,%d", &index, &ms, &shown, &raw, &output), 5) << line;
        EXPECT_EQ(index, rows);
        const auto& s = record.Samples()[std::size_t(rows)];
        EXPECT_NEAR(shown, s.shown, 0.0001);
        EXPECT_EQ(output, s.output);
        // The raw byte is the ADC reading the shown value came from.
        EXPECT_NEAR(shown, (5.0 - raw / 128.0 * 2.5) * 20.0, 0.01) << line;
    }
    EXPECT_EQ(rows, 60);

    const std::string pdf = scratch.File("run.pdf");
    ASSERT_TRUE(zorstudio::ExportPdf(record, pdf));
    const std::string printed = TempDir::Read(pdf);
    EXPECT_EQ(printed.rfind("%PDF-", 0), 0u);
    EXPECT_NE(printed.find("%%EOF"), std::string::npos) << "a complete document";

    EXPECT_FALSE(zorstudio::ExportPng(record, "/nonexistent-dir/x.png"));
    EXPECT_FALSE(zorstudio::ExportCsv(record, "/nonexistent-dir/x.csv"));
    EXPECT_FALSE(zorstudio::ExportPdf(record, "/nonexistent-dir/x.pdf"));
}

TEST_F(ExperimentTest, TheStepperHasNoCurveToExport)
{
    CExperimentSetup setup = DefaultSetup(ExperimentKind::Stepper);
    setup.samples = 10;
    setup.period = 0;
    auto& record = RunToEnd(setup);
    EXPECT_TRUE(record.Samples().empty());
    EXPECT_EQ(Board().Experiment(), std::nullopt) << "the board went back to its monitor";
    EXPECT_FALSE(zorstudio::ExportPng(record, scratch.File("stepper.png")));
    EXPECT_FALSE(zorstudio::ExportPdf(record, scratch.File("stepper.pdf")));
    EXPECT_TRUE(zorstudio::ExportCsv(record, scratch.File("stepper.csv"))) << "the header alone";
}

}
}
