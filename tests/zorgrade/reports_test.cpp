#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"
#include "tools/zorgrade/Reports.h"

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
    grade.run.checks = {{first, first ? "ok" : detail, 1, first ? "" : "leds: <board>\n"}, {second, "ok", 2, ""}};
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
