// The marks of a class as files: a CSV of the points per check, JUnit XML for a CI
// system, and an HTML page per student with what each failed check saw, in words and
// in a picture of the board's panel.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/zorgrade/Grader.h"
#include "tools/zorgrade/Scenario.h"

namespace zorgrade {

// A header of the check names, a line of the points each is worth, a line per student.
std::string MarksCsv(const CScenario& scenario, const std::vector<CGrade>& grades);
// A test suite per student, a test case per check.
std::string JunitXml(const CScenario& scenario, const std::vector<CGrade>& grades);
// One student's page.
std::string StudentPage(const CScenario& scenario, const CGrade& grade);
// The class's page, linking every student's.
std::string ClassPage(const CScenario& scenario, const std::vector<CGrade>& grades);
// Where a student's page goes in the report folder: students/NAME.html, with anything
// but letters, digits, - and _ in the name as _.
std::string PageName(const CGrade& grade);
// Where the picture of the board's panel at a failed check goes: beside the page,
// students/NAME-checkN.png for the Nth check of the scenario.
std::string PictureName(const CGrade& grade, std::size_t check);

// Writes marks.csv, junit.xml, index.html and the students' pages with their pictures
// into `folder` (made when missing); false with `error` when one cannot be written.
bool WriteReports(const std::filesystem::path& folder, const CScenario& scenario, const std::vector<CGrade>& grades,
    std::string& error);

}
