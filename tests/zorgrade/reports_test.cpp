#include <gtest/gtest.h>

#include <string>

#include "zorkit/platform/gdi/PngFile.h"
#include "tests/support/TempDir.h"
#include "tools/boardpanel/PanelLayout.h"
#include "tools/boardpanel/PanelPainter.h"
#include "tools/zorgrade/Reports.h"
#include "tools/zorgrade/ScenarioRun.h"

using namespace zorgrade;

namespace {

CScenario TwoChecks()
{
    std::string error;
    std::optional<CScenario> scenario = ParseScenario("title = \"Lab <1>\"\n[limits]\ncycles = 10\n"
                                                      "[[check]]\nname = \"lit, \\\"on\\\"\"\npoints = 2\nat = 1\nleds = \"*.......\"\n"
                                                      "[[check]]\nname = \"dark\"\nat = 2\nleds = \"........\"\n",
        ".", error);
    EXPECT_TRUE(scenario) << error;
    return *scenario;
}

CGrade Graded(const std::string& name, bool first, bool second, const std::string& detail)
{
    CGrade grade;
    grade.submission = {name, name + ".asm"};
    grade.built = true;
    grade.run.checks = {{first, first ? "ok" : detail, 1, first ? "" : "leds: <board>\n", {}}, {second, "ok", 2, "", {}}};
    grade.points = (first ? 2 : 0) + (second ? 1 : 0);
    return grade;
}

}

TEST(Reports, CsvQuotesWhatWouldBreakItsColumns)
{
    CScenario scenario = TwoChecks();
    std::vector<CGrade> grades{Graded("ann, b", true, true, ""), Graded("cy", false, true, "LEDs \"off\"")};
    grades[1].run.ending = "stack overflow, at 0x0010";
    EXPECT_EQ(MarksCsv(scenario, grades), "student,\"lit, \"\"on\"\"\",dark,total,ending\n"
                                          "out of,2,1,3,\n"
                                          "\"ann, b\",2,1,3,\n"
                                          "cy,0,1,1,\"stack overflow, at 0x0010\"\n");
}

TEST(Reports, JunitAndPagesEscapeWhatTheProgramsShow)
{
    CScenario scenario = TwoChecks();
    std::vector<CGrade> grades{Graded("a&b", false, true, "LEDs <*> \"x\"")};
    std::string xml = JunitXml(scenario, grades);
    EXPECT_NE(xml.find("<testsuites name=\"Lab &lt;1&gt;\" tests=\"2\" failures=\"1\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<testsuite name=\"a&amp;b\" tests=\"2\" failures=\"1\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<failure message=\"LEDs &lt;*&gt; &quot;x&quot;\">leds: &lt;board&gt;\n</failure>"), std::string::npos)
        << xml;
    EXPECT_NE(xml.find("<testcase classname=\"a&amp;b\" name=\"dark\"/>"), std::string::npos) << xml;

    EXPECT_EQ(PageName(grades[0]), "students/a_b.html");
    std::string page = StudentPage(scenario, grades[0]);
    EXPECT_NE(page.find("<h1>a&amp;b: 1/3</h1>"), std::string::npos) << page;
    EXPECT_NE(page.find("<td>0/2</td><td>LEDs &lt;*&gt; &quot;x&quot;<pre>leds: &lt;board&gt;\n</pre>"), std::string::npos)
        << page;
    EXPECT_NE(ClassPage(scenario, grades).find("<a href=\"students/a_b.html\">a&amp;b</a>"), std::string::npos);

    TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteReports(dir.Path() / "out", scenario, grades, error)) << error;
    EXPECT_EQ(TempDir::Read(dir.File("out/students/a_b.html")), page);
    EXPECT_EQ(TempDir::Read(dir.File("out/junit.xml")), xml);
    dir.Write("file", "");
    EXPECT_FALSE(WriteReports(dir.Path() / "file", scenario, grades, error));
    EXPECT_EQ(error, "cannot write " + (dir.Path() / "file" / "marks.csv").string());
}

TEST(Reports, AFailedCheckShowsTheBoardsPanelAsItWasThen)
{
    std::string error;
    std::optional<CScenario> scenario = ParseScenario("[limits]\ncycles = 100\n"
                                                      "[[check]]\nat = 10\nleds = \"*.......\"\n"
                                                      "[[check]]\nat = 20\nleds = \"**......\"\n"
                                                      "[[check]]\nat = 30\nleds = \"........\"\n",
        ".", error);
    ASSERT_TRUE(scenario) << error;
    // mov p1,#0FCh lights LEDs 0 and 1; sjmp $.
    CGrade grade;
    grade.submission = {"dee", "dee.asm"};
    grade.built = true;
    grade.run = RunScenario(*scenario, {{0x0000, {0x75, 0x90, 0xFC, 0x80, 0xFE}}});
    ASSERT_FALSE(grade.run.checks[0].passed);
    ASSERT_TRUE(grade.run.checks[1].passed);

    TempDir dir;
    ASSERT_TRUE(WriteReports(dir.Path(), *scenario, {grade}, error)) << error;
    EXPECT_EQ(PictureName(grade, 0), "students/dee-check1.png");
    const std::string page = TempDir::Read(dir.File("students/dee.html"));
    EXPECT_NE(page.find("<img src=\"dee-check1.png\" alt=\"The board&apos;s panel at machine cycle 10: LEDs **...... at "
                        "cycle 10; expected LEDs *.......\"><pre>leds: **......\n"),
        std::string::npos)
        << page;
    EXPECT_NE(page.find("<img src=\"dee-check3.png\""), std::string::npos) << page;
    // A check that passed has no picture.
    EXPECT_EQ(page.find("dee-check2.png"), std::string::npos) << page;
    EXPECT_FALSE(std::filesystem::exists(dir.File(PictureName(grade, 1))));

    // The picture shows the LEDs the program lit, LED 1 among them where the check wanted it dark.
    const boardpanel::CPanelLayout layout = boardpanel::LayOutPanel(scenario->board);
    for (const char* name : {"students/dee-check1.png", "students/dee-check3.png"}) {
        std::shared_ptr<zorkit::Surface> picture = zorkit::ReadPng(dir.File(name).c_str());
        ASSERT_TRUE(picture) << name;
        ASSERT_EQ(layout.leds.size(), 8u);
        for (std::size_t n = 0; n < layout.leds.size(); ++n) {
            const CPoint centre = layout.leds[n].CenterPoint();
            EXPECT_EQ(picture->GetPixel(centre.x, centre.y), n < 2 ? boardpanel::kLedLit : boardpanel::kLedDark)
                << name << ", LED " << n;
        }
    }
}
