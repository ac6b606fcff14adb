// zorlink's and zorstudio's pictures as users get them: real processes, real files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "zorkit/platform/gdi/PngFile.h"
#include "sim/VirtualBoard.h"
#include "tests/studio/PictureCheck.h"
#include "tests/support/TempDir.h"

namespace zorkit::studio::test {
namespace {

using namespace std::chrono_literals;

struct CRun {
    int status;
    std::string out;
    std::string err;
};

class ToolPictureTest : public ::testing::Test {
protected:
    // Runs `command` (shell words) without a display and waits for it to exit.
    CRun Run(const std::string& command)
    {
        const std::string line = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ZORKIT_LOG_DIR=" +
                                 dir.string() + " " + command + " >" + (dir / "out").string() + " 2>" +
                                 (dir / "err").string() + " </dev/null";
        const int raw = std::system(line.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
    }
    static std::string Slurp(const std::filesystem::path& path)
    {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TempDir scratch;
    const std::filesystem::path& dir = scratch.Path();
};

TEST_F(ToolPictureTest, ZorlinkControlWritesThePictureOfTheRun)
{
    sim::CVirtualBoard board;
    ASSERT_TRUE(board.Start()) << board.LastError();
    sim::CExperimentSettings settings;
    settings.plant = sim::PlantKind::Heater;
    settings.samplePeriod = 1ms;
    board.StartExperiment(settings);
    const auto png = dir / "run.png";
    CRun run = Run(std::string(ZORLINK_PATH) + " -d " + board.SlavePath() +
                   " control temp --target 55 --samples 80 --period 0 --png " + png.string());
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(std::filesystem::exists(png));
    auto picture = ReadPng(png.c_str());
    ASSERT_TRUE(picture) << "a PNG that reads back";
    EXPECT_EQ(picture->Width(), 580);
    EXPECT_EQ(picture->Height(), 340);
    // 55 of the -100 .. 100 range.
    ExpectReferenceLineAt(*picture, ReferenceRow(55, 200));
    // The plant starts cold: the first samples lie at about 20 degrees, y 140.
    EXPECT_EQ(picture->GetPixel(25, ReferenceRow(20, 200)), RGB(255, 255, 0)) << "the measured curve starts cold";
}

TEST_F(ToolPictureTest, ZorlinkControlRefusesAPictureOfAStepperRun)
{
    CRun run = Run(std::string(ZORLINK_PATH) + " -d /nonexistent control stepper --png x.png");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--png"), std::string::npos) << run.err;
}

TEST_F(ToolPictureTest, ZorlinkControlHelp)
{
    CRun run = Run(std::string(ZORLINK_PATH) + " control --help");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("--png FILE"), std::string::npos) << run.out;
}

TEST_F(ToolPictureTest, ZorstudioWithoutDisplaySettlesAndWritesThePicture)
{
    const auto png = dir / "studio.png";
    CRun run = Run(std::string(ZORSTUDIO_PATH) + " --target 65 --samples 200 --period 0 --png " + png.string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("set point    65 °C"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("settled      within ±2 °C from sample"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("picture      " + png.string()), std::string::npos) << run.out;
    auto picture = ReadPng(png.c_str());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 580);
    ExpectReferenceLineAt(*picture, ReferenceRow(65, 200));
}

TEST_F(ToolPictureTest, ZorstudioWritesTheDefaultPictureInTheCurrentDirectory)
{
    CRun run = Run("sh -c 'cd " + dir.string() + " && " + ZORSTUDIO_PATH + " --samples 20 --period 0'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "zorstudio.png"));
    EXPECT_NE(run.out.find((dir / "zorstudio.png").string()), std::string::npos) << run.out;
}

TEST_F(ToolPictureTest, ZorstudioSecondsStopTheRun)
{
    CRun run = Run(std::string(ZORSTUDIO_PATH) + " --samples 100000 --period 50 --seconds 1 --png " +
                   (dir / "short.png").string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("stopped after"), std::string::npos) << run.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "short.png"));
}

TEST_F(ToolPictureTest, ZorstudioUsageErrors)
{
    EXPECT_EQ(Run(std::string(ZORSTUDIO_PATH) + " --target 101").status, 2);
    EXPECT_EQ(Run(std::string(ZORSTUDIO_PATH) + " --samples").status, 2);
    EXPECT_EQ(Run(std::string(ZORSTUDIO_PATH) + " --bogus 1").status, 2);
    CRun help = Run(std::string(ZORSTUDIO_PATH) + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--seconds N"), std::string::npos);
}

TEST_F(ToolPictureTest, ZorstudioUnwritablePictureFailsBeforeTheExperiment)
{
    CRun run = Run(std::string(ZORSTUDIO_PATH) + " --samples 5 --period 0 --png /nonexistent-dir/x.png");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot write /nonexistent-dir/x.png: No such file or directory"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("temperature experiment"), std::string::npos) << "no run is started: " << run.out;
}

}
}
