// The sample scenarios and their classes, graded by the tool as a teacher runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/RunProcess.h"
#include "tests/support/TempDir.h"

namespace {

struct CGraded {
    int status;
    std::string out;
    std::string err;
    std::string csv;
    std::string junit;
};

CGraded Grade(const TempDir& dir, const std::string& lab, const std::string& jobs = "2")
{
    const std::string samples = ZORGRADE_SAMPLES;
    const std::string report = dir.File(lab + "-" + jobs);
    CGraded graded;
    graded.status = RunProcess({ZORGRADE_PATH, "--jobs", jobs, "-o", report, samples + "/" + lab + ".toml",
                                   samples + "/" + lab},
        dir.File("out"), dir.File("err"));
    graded.out = TempDir::Read(dir.File("out"));
    graded.err = TempDir::Read(dir.File("err"));
    graded.csv = TempDir::Read(report + "/marks.csv");
    graded.junit = TempDir::Read(report + "/junit.xml");
    return graded;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}

TEST(SampleClass, RunningLightsMarksTheCorrectAndTheTypicalMistakes)
{
    TempDir dir;
    CGraded graded = Grade(dir, "running_lights");
    ASSERT_EQ(graded.status, 0) << graded.err;
    EXPECT_EQ(graded.csv,
        "student,LED 0 lights first,\"LED 1 next, after about 100 ms\",LED 7 at the end of the row,back to LED 0,"
        "eight steps of 100 ms on P1.0,total,ending\n"
        "out of,2,1,1,1,2,7,\n"
        "alice,2,1,1,1,2,7,\n"                     // the lab's program
        "bob,2,0,0,1,0,3,\n"                       // half the delay: it wraps round early
        "chen,0,0,0,0,2,2,\n"                      // LEDs taken as lit on a high pin
        "dana,2,0,0,0,0,2,stack overflow: SP went past 0xFF before 0x000D (machine cycle 125009)\n"
        "eve,0,0,0,0,0,0,the program does not build\n"
        "frank,2,1,1,1,2,7,\n"                     // the lab's .ihx
        "grace,2,1,1,1,2,7,\n");                   // the lab in C: three files in a folder
    EXPECT_TRUE(Has(graded.junit, "message=\"P1.0 toggled with periods of 402440 cycles, not 800000 ± 20000\""));
    EXPECT_TRUE(Has(graded.junit, "message=\"LEDs .******* at cycle 50001; expected LEDs *.......\""));
    // The assembler's complaint reaches the report of the one that does not build.
    EXPECT_TRUE(Has(TempDir::Read(dir.File("running_lights-2/students/eve.html")), "eve.asm:9: Error: &lt;u&gt; undefined symbol"));
    EXPECT_TRUE(Has(graded.out, "alice  7/7\n"));
    EXPECT_TRUE(Has(graded.out, "eve    0/7  failed: "));
}

TEST(SampleClass, TheOtherLabsMarkInputsDisplaysAndEndings)
{
    TempDir dir;
    CGraded switches = Grade(dir, "switches_to_leds");
    ASSERT_EQ(switches.status, 0) << switches.err;
    EXPECT_EQ(switches.csv,
        "student,all dark with the switches off,switches 0 and 5 light LEDs 0 and 5,switch 0 off darkens LED 0,total,"
        "ending\nout of,1,2,2,5,\n"
        "alice,1,2,2,5,\n"
        "bob,0,0,0,0,\n"      // the switches copied to the LEDs without inverting
        "carol,1,2,2,5,\n");  // a C program in a folder of its own

    CGraded seg7 = Grade(dir, "seg7_counter");
    ASSERT_EQ(seg7.status, 0) << seg7.err;
    EXPECT_EQ(seg7.csv, "student,starts at 00,counts to 02,reaches 09,total,ending\nout of,1,2,2,5,\n"
                        "alice,1,2,2,5,\nbob,1,0,0,1,\n");   // the digits swapped: 00 reads the same

    CGraded buttons = Grade(dir, "button_counter");
    ASSERT_EQ(buttons.status, 0) << buttons.err;
    EXPECT_EQ(buttons.csv,
        "student,\"ready, nothing counted\",a bouncing press counts once,the second press counts too,total,ending\n"
        "out of,1,3,2,6,\n"
        "alice,1,3,2,6,\n"    // waits for the contacts to settle
        "bob,1,0,0,1,\n");    // counts every edge of the bouncing
    EXPECT_TRUE(Has(buttons.junit, "message=\"LEDs ..*....* at cycle 50000; expected LEDs *......*\""));

    CGraded keypad = Grade(dir, "keypad_to_display");
    ASSERT_EQ(keypad.status, 0) << keypad.err;
    EXPECT_EQ(keypad.csv, "student,eight dashes at the start,a bouncing key enters once,the next key moves it left,"
                          "total,ending\nout of,1,3,2,6,\n"
                          "alice,1,3,2,6,\n"   // takes a key held steady for four scans
                          "bob,1,0,0,1,\n");   // takes it after one: the bounce enters it twice
    EXPECT_TRUE(Has(keypad.junit, "message=\"7-segment digits &quot;------55&quot; at cycle 80000; expected digits "
                                  "&quot;-------5&quot;\""));

    CGraded lcd = Grade(dir, "lcd_greeting");
    ASSERT_EQ(lcd.status, 0) << lcd.err;
    EXPECT_EQ(lcd.csv, "student,the greeting on both lines,the program ends,total,ending\nout of,3,1,4,\n"
                       "alice,3,1,4,\nbob,0,0,0,\n");   // waits for the busy flag the wrong way round: forever
    EXPECT_TRUE(Has(lcd.junit, "message=\"still running at cycle 50000, at 0x0026, which is no jump to itself\""));
}

TEST(SampleClass, MarksDoNotDependOnHowManySubmissionsRunAtOnce)
{
    TempDir dir;
    CGraded one = Grade(dir, "running_lights", "1");
    CGraded four = Grade(dir, "running_lights", "4");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.csv, four.csv);
    EXPECT_EQ(one.junit, four.junit);
    EXPECT_EQ(one.out, four.out);
    // The students' pages and the pictures of their failed checks, byte for byte.
    const std::filesystem::path pages = dir.Path() / "running_lights-1" / "students";
    int pictures = 0;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(pages)) {
        const std::string twin = (dir.Path() / "running_lights-4" / "students" / entry.path().filename()).string();
        EXPECT_EQ(TempDir::Read(entry.path().string()), TempDir::Read(twin)) << entry.path().filename();
        pictures += entry.path().extension() == ".png";
    }
    // bob fails 3 checks, chen and dana 4 each; eve's program does not build, so nothing ran to show.
    EXPECT_EQ(pictures, 11);
    EXPECT_FALSE(std::filesystem::exists(pages / "eve-check1.png"));
}

TEST(SampleClass, ExitStatusSaysWhetherTheGradingRanNotWhetherStudentsPassed)
{
    TempDir dir;
    const std::string samples = ZORGRADE_SAMPLES;
    EXPECT_EQ(RunProcess({ZORGRADE_PATH, samples + "/running_lights.toml"}, dir.File("out"), dir.File("err")), 2);
    EXPECT_EQ(TempDir::Read(dir.File("err")),
        "zorgrade: no SUBMISSION given after the scenario " + samples + "/running_lights.toml\nTry 'zorgrade --help'.\n");

    std::string bad = dir.Write("bad.toml", "[limits]\ncycles = 10\n[[check]]\nat = 5\nleds = \"*\"\nbogus = 1\n");
    EXPECT_EQ(RunProcess({ZORGRADE_PATH, bad, samples + "/running_lights"}, dir.File("out"), dir.File("err")), 1);
    EXPECT_EQ(TempDir::Read(dir.File("err")), "zorgrade: " + bad + ":6: a [[check]] has no setting 'bogus'\n");

    EXPECT_EQ(RunProcess({ZORGRADE_PATH, samples + "/running_lights.toml", dir.File("nobody.asm")}, dir.File("out"),
                  dir.File("err")),
        1);
    EXPECT_EQ(TempDir::Read(dir.File("err")), "zorgrade: " + dir.File("nobody.asm") + ": no such file or folder\n");
}
