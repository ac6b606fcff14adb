// zorlink's and zorstudio's pictures as users get them: real processes, real files.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "zorkit/platform/gdi/PngFile.h"
#include "sim/VirtualBoard.h"
#include "tests/studio/PictureCheck.h"
#include "tests/support/TempDir.h"
#include "tools/zorstudio/Tour.h"

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
    // Runs `command` (shell words) without a display and waits for it to exit; in
    // English unless the command's own variables choose a language.
    CRun Run(const std::string& command)
    {
        const std::string line = "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER LANGUAGE=en ZORKIT_LOG_DIR=" +
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

// The numbers of each match of pattern's first group, in order.
std::vector<int> Numbers(const std::string& text, const std::string& pattern)
{
    std::vector<int> numbers;
    const std::regex re(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
        numbers.push_back(std::stoi((*it)[1]));
    return numbers;
}

// The line (from 1) of the file that holds text.
int LineHolding(const std::filesystem::path& file, const std::string& text)
{
    std::ifstream in(file);
    int number = 0;
    for (std::string line; std::getline(in, line);)
        if (++number, line.find(text) != std::string::npos)
            return number;
    ADD_FAILURE() << "no line '" << text << "' in " << file;
    return 0;
}

// The C sample's stops as a tour prints them, against what the program computes: at
// the breakpoint after its passes, in the call it steps into, back out on the line and
// after one step over. When the pass for i begins, the tally counts i - 1 passes and
// sums the squares of 1 .. i - 1; the call gets i, and the line adds i * i.
void ExpectCSampleStops(const std::string& out)
{
    const auto sample = std::filesystem::path(ZORSTUDIO_SAMPLE).parent_path() / "squares.c";
    const int breakLine = LineHolding(sample, zorstudio::kTourCBreakpointText);
    EXPECT_EQ(Numbers(out, "frame main  squares\\.c:(\\d+)"),
              (std::vector<int>{breakLine, breakLine, breakLine, breakLine + 1}))
        << "the breakpoint's line, the caller's line inside the call and back out, then the next line:\n" << out;
    EXPECT_EQ(Numbers(out, "frame square  squares\\.c:(\\d+)"),
              (std::vector<int>{LineHolding(sample, "return n * n;")}))
        << "the callee's first line:\n" << out;
    const std::vector<int> i = Numbers(out, "watch i = (\\d+)");
    ASSERT_EQ(i, (std::vector<int>(3, zorstudio::kTourCPasses)))
        << "at the stop, back out and after the step:\n" << out;
    EXPECT_EQ(Numbers(out, "watch n = (\\d+)"), (std::vector<int>{i[0]})) << "the call's argument:\n" << out;
    int before = 0;
    for (int k = 1; k < i[0]; ++k)
        before += k * k;
    EXPECT_EQ(Numbers(out, "watch tally = \\{count = (\\d+), sum = \\d+\\}"), (std::vector<int>(4, i[0] - 1))) << out;
    EXPECT_EQ(Numbers(out, "watch tally = \\{count = \\d+, sum = (\\d+)\\}"),
              (std::vector<int>{before, before, before, before + i[0] * i[0]}))
        << "the sum grows when the call's result is added, after it returned:\n" << out;
}

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
    EXPECT_NE(run.out.find("settled      within ±2 °C of the final value from sample"), std::string::npos) << run.out;
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

TEST_F(ToolPictureTest, ZorstudioTourWalksEveryStageAndWritesTheExports)
{
    const auto out = dir / "tour";
    CRun run = Run(std::string(ZORSTUDIO_PATH) + " --tour " + out.string() + " --samples 120");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    std::size_t at = 0;
    for (const char* stage : {"] open the program", "] assemble", "] connect to the virtual board", "] download",
                              "] set a breakpoint at the line 'done:'", "] run from 0100 to the breakpoint",
                              "] registers, internal RAM", "] edit internal RAM 40H", "] temperature experiment",
                              "] export", "] open the C program", "] download it and set a breakpoint on the line",
                              "] run to the breakpoint 3 times", "] the call stack and the watches",
                              "] step into the call square(i), then out again", "] step over the line",
                              "tour complete"}) {
        at = run.out.find(stage, at);
        ASSERT_NE(at, std::string::npos) << "stage '" << stage << "' in order:\n" << run.out;
    }
    EXPECT_NE(run.out.find("wrote 5A, read back 5A"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("120 samples; final value"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("settled within ±2 °C"), std::string::npos) << run.out;
    ExpectCSampleStops(run.out);
    EXPECT_NE(run.out.find("  (global)  (changed)"), std::string::npos) << "the tally changed by the step:\n" << run.out;
    auto picture = ReadPng((out / "temperature.png").c_str());
    ASSERT_TRUE(picture);
    ExpectReferenceLineAt(*picture, ReferenceRow(60, 200));
    EXPECT_EQ(Slurp(out / "temperature.pdf").rfind("%PDF-", 0), 0u);
    EXPECT_EQ(Slurp(out / "temperature.csv").rfind("index,time_ms,shown,raw,output\n0,", 0), 0u);
}

TEST_F(ToolPictureTest, ZorstudioTourStopsAtAProgramThatDoesNotBuild)
{
    std::ofstream(dir / "broken.asm") << "\t.org 0x0100\n\tmov q,#1\n";
    CRun run = Run(std::string(ZORSTUDIO_PATH) + " --tour " + (dir / "tour").string() + " --program " +
                   (dir / "broken.asm").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("broken.asm:2: Error"), std::string::npos) << "the assembler's complaint: " << run.out;
    EXPECT_NE(run.err.find("did not build"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("] download"), std::string::npos);
}

TEST_F(ToolPictureTest, ZorstudioTourOptionsGoWithTheTourOrTheWindow)
{
    EXPECT_EQ(Run(std::string(ZORSTUDIO_PATH) + " --device /dev/null --samples 5").status, 2)
        << "not with the temperature run";
    EXPECT_EQ(Run(std::string(ZORSTUDIO_PATH) + " --tour x --baud 9601").status, 2);
    EXPECT_EQ(Run(std::string(ZORSTUDIO_PATH) + " --shots").status, 2) << "--shots goes with --tour";
    CRun windowless = Run(std::string(ZORSTUDIO_PATH) + " --device /dev/null");
    EXPECT_EQ(windowless.status, 1);
    EXPECT_NE(windowless.err.find("no display"), std::string::npos) << windowless.err;
    CRun help = Run(std::string(ZORSTUDIO_PATH) + " --help");
    EXPECT_NE(help.out.find("--tour DIR"), std::string::npos);
    EXPECT_NE(help.out.find("--device PATH"), std::string::npos);
    EXPECT_NE(help.out.find("--last"), std::string::npos);
}

TEST_F(ToolPictureTest, ZorstudioLastStartsOnTheRememberedLine)
{
    CRun both = Run(std::string(ZORSTUDIO_PATH) + " --last --device /dev/null");
    EXPECT_EQ(both.status, 2);
    EXPECT_NE(both.err.find("--last and --device both choose the line"), std::string::npos) << both.err;
    EXPECT_EQ(Run(std::string(ZORSTUDIO_PATH) + " --last --samples 5").status, 2) << "not with the temperature run";

    // The remembered device is the one the tour connects to (this one is gone).
    const auto config = dir / "config";
    std::filesystem::create_directories(config / "zorkit");
    const std::string gone = (dir / "ttyGone").string();
    std::ofstream(config / "zorkit" / "zorstudio.conf") << "device=" << gone << "\nbaud=2400\n";
    const std::string withConfig = "XDG_CONFIG_HOME=" + config.string() + " " + ZORSTUDIO_PATH;
    CRun remembered = Run(withConfig + " --tour " + (dir / "t1").string() + " --last --samples 10");
    EXPECT_EQ(remembered.status, 1);
    EXPECT_NE(remembered.out.find("connect to " + gone), std::string::npos) << remembered.out;
    EXPECT_NE(remembered.err.find("cannot open the serial device " + gone), std::string::npos) << remembered.err;

    // Nothing remembered: the virtual board, and a word about it.
    std::ofstream(config / "zorkit" / "zorstudio.conf") << "device=\nbaud=9600\n";
    CRun none = Run(withConfig + " --tour " + (dir / "t2").string() + " --last --samples 10");
    EXPECT_EQ(none.status, 0) << none.out << none.err;
    EXPECT_NE(none.err.find("no serial device is remembered"), std::string::npos) << none.err;
    EXPECT_NE(none.out.find("tour complete"), std::string::npos);
}

// Rows of the picture with at least `least` pixels of the colour.
int RowsWith(const Surface& picture, COLORREF colour, int least)
{
    int rows = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        int count = 0;
        for (int x = 0; x < picture.Width(); ++x)
            count += picture.GetPixel(x, y) == colour;
        rows += count >= least;
    }
    return rows;
}

TEST_F(ToolPictureTest, ZorstudioWindowTourPicturesEveryStage)
{
    const auto out = dir / "shots";
    CRun run = Run("XDG_CONFIG_HOME=" + dir.string() + " " + ZORSTUDIO_PATH + " --tour " + out.string() +
                   " --shots --samples 120");
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    for (const char* shot : {"01-open", "02-build", "03-connect", "04-download", "05-breakpoint", "06-stop",
                             "07-edit", "08-experiment", "09-export", "10-c-open", "11-c-build", "12-c-download",
                             "13-c-breakpoint", "14-c-stack", "15-c-watches", "16-c-into", "17-c-out", "18-c-step",
                             "19-board"}) {
        auto picture = ReadPng((out / (std::string(shot) + ".png")).c_str());
        ASSERT_TRUE(picture) << shot;
        EXPECT_EQ(picture->Width(), 1280) << shot;
    }
    EXPECT_NE(run.out.find("40H := 5A, read back from the board"), std::string::npos) << run.out;
    // The breakpoint's line is red across the listing, and only that line.
    auto breakpoint = ReadPng((out / "05-breakpoint.png").c_str());
    const int redRows = RowsWith(*breakpoint, kReferenceRed, 150);
    EXPECT_GE(redRows, 10) << "one line of the listing in red";
    EXPECT_LE(redRows, 24) << "and only one";
    // The experiment's graph, behind its tab, with its set point's line.
    auto experiment = ReadPng((out / "09-export.png").c_str());
    EXPECT_GE(RowsWith(*experiment, kReferenceRed, 300), 1) << "the set point's line across the graph";
    for (const char* file : {"temperature.png", "temperature.pdf", "temperature.csv"})
        EXPECT_TRUE(std::filesystem::exists(out / file)) << file;
    // The C program at its stop, as its views show it: the call stack's tab, then the watches'.
    ExpectCSampleStops(run.out);
    auto stack = ReadPng((out / "14-c-stack.png").c_str());
    auto watches = ReadPng((out / "15-c-watches.png").c_str());
    ASSERT_TRUE(stack && watches);
    int differing = 0;
    for (int y = 0; y < stack->Height(); ++y)
        for (int x = 0; x < stack->Width(); ++x)
            differing += stack->GetPixel(x, y) != watches->GetPixel(x, y);
    EXPECT_GT(differing, 500) << "another tab shown in the dock";
}

TEST_F(ToolPictureTest, ZorstudioWindowTourInChineseHasChineseMenusAndMessages)
{
    const std::string config = "XDG_CONFIG_HOME=" + dir.string() + " LANGUAGE= LC_ALL= LC_MESSAGES= ";
    CRun english = Run(config + "LANG=C " + ZORSTUDIO_PATH + " --tour " + (dir / "en").string() + " --shots --samples 20");
    CRun chinese =
        Run(config + "LANG=zh_CN.UTF-8 " + ZORSTUDIO_PATH + " --tour " + (dir / "zh").string() + " --shots --samples 20");
    ASSERT_EQ(english.status, 0) << english.out << english.err;
    ASSERT_EQ(chinese.status, 0) << chinese.out << chinese.err;
    auto en = ReadPng((dir / "en" / "02-build.png").c_str());
    auto zh = ReadPng((dir / "zh" / "02-build.png").c_str());
    ASSERT_TRUE(en && zh);
    ASSERT_EQ(en->Width(), zh->Width());
    // The menu bar and the button row (y 0 .. 52) are in another language; the source
    // and the listing below them are the same text.
    auto differing = [&](int top, int bottom, int left, int right) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += en->GetPixel(x, y) != zh->GetPixel(x, y);
        return count;
    };
    EXPECT_GT(differing(0, 22, 0, 200), 100) << "the menu titles";
    EXPECT_GT(differing(22, 52, 0, en->Width()), 100) << "the buttons";
    EXPECT_EQ(differing(60, 200, 0, 300), 0) << "the source is the same in both";
    EXPECT_NE(chinese.out.find("40H := 5A"), std::string::npos) << chinese.out;
}

TEST_F(ToolPictureTest, ZorstudioHelpErrorsAndTourSpeakChinese)
{
    const std::string chinese = "XDG_CONFIG_HOME=" + dir.string() + " LANGUAGE= LC_ALL= LC_MESSAGES= LANG=zh_CN.UTF-8 " +
                                ZORSTUDIO_PATH;
    CRun help = Run(chinese + " --help");
    EXPECT_EQ(help.status, 0);
    for (const char* text : {"用法：zorstudio", "温度实验:", "--seconds N", "显示本说明", "退出状态："})
        EXPECT_NE(help.out.find(text), std::string::npos) << text << " in\n" << help.out;
    EXPECT_EQ(help.out.find("Usage:"), std::string::npos) << help.out;

    CRun wrong = Run(chinese + " --target 101");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("--target 需要 0 到 100 之间的整数"), std::string::npos) << wrong.err;

    CRun tour = Run(chinese + " --tour " + (dir / "tour").string() + " --samples 20");
    ASSERT_EQ(tour.status, 0) << tour.out << tour.err;
    std::size_t at = 0;
    for (const char* stage : {"] 打开程序", "] 用 sdas8051 汇编", "] 连接虚拟实验箱", "] 下载", "] 在 'done:' 行设置断点",
                              "写入 5A，读回 5A", "] 温度实验：设定值 60 °C", "20 次采样；终值",
                              "] 单步进入调用 square(i)，再单步跳出", "演示完成"}) {
        at = tour.out.find(stage, at);
        ASSERT_NE(at, std::string::npos) << "'" << stage << "' in order:\n" << tour.out;
    }
}

TEST_F(ToolPictureTest, TheSharedMessagesSpeakChineseInZorstudioOnly)
{
    const std::string chinese = "XDG_CONFIG_HOME=" + dir.string() + " LANGUAGE= LC_ALL= LC_MESSAGES= LANG=zh_CN.UTF-8 ";
    // The option parser's own words, and its pointer to the help.
    CRun unknown = Run(chinese + ZORSTUDIO_PATH + " --colour");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "zorstudio: 未知选项“--colour”\n运行“zorstudio --help”查看用法。\n");
    CRun bare = Run(chinese + ZORSTUDIO_PATH + " --samples 5 --target");
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.err.find("选项 --target 需要一个值"), std::string::npos) << bare.err;
    // The picture's path, checked before the run.
    CRun unwritable = Run(chinese + ZORSTUDIO_PATH + " --samples 5 --period 0 --png " + dir.string());
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("无法写入 " + dir.string() + "：这是一个目录"), std::string::npos) << unwritable.err;
    // The system's reason for a refusal is in the same language.
    const std::string absent = (dir / "absent" / "run.png").string();
    CRun missing = Run(chinese + ZORSTUDIO_PATH + " --samples 5 --period 0 --png " + absent);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "zorstudio: 无法写入 " + absent + "：没有那个文件或目录\n");
    std::ofstream(dir / "plain") << "a file, not a directory";
    CRun tour = Run(chinese + ZORSTUDIO_PATH + " --tour " + (dir / "plain" / "tour").string() + " --samples 5");
    EXPECT_EQ(tour.status, 1);
    EXPECT_NE(tour.err.find("这不是目录"), std::string::npos) << "the tour's directory is under a file: " << tour.err;

    // zorlink's messages are a scripted contract: English whatever the language.
    CRun zorlink = Run(chinese + ZORLINK_PATH + " --colour");
    EXPECT_EQ(zorlink.status, 2);
    EXPECT_EQ(zorlink.err, "zorlink: unknown option '--colour'\nTry 'zorlink --help'.\n");
    CRun needs = Run(chinese + ZORLINK_PATH + " -d");
    EXPECT_EQ(needs.status, 2);
    EXPECT_NE(needs.err.find("option -d needs a value"), std::string::npos) << needs.err;
    CRun refused = Run(chinese + ZORLINK_PATH + " -d /dev/null control temp --png " + absent);
    EXPECT_NE(refused.err.find("cannot write " + absent + ": No such file or directory"), std::string::npos) << refused.err;
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
