#include "tools/zorgrade/Reports.h"

#include <cctype>
#include <fstream>

#include "tools/boardpanel/PanelPainter.h"

namespace zorgrade {

namespace {

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\n\r") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Escapes text for HTML and for XML attributes and text alike.
std::string Markup(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            // XML 1.0 has no place for most control characters.
            if (c < 0x20 && c != '\n' && c != '\t')
                out += ' ';
            else
                out += char(c);
        }
    }
    return out;
}

// A student's name as the start of a file name in the report folder.
std::string FileStem(const CGrade& grade)
{
    std::string name;
    for (char c : grade.submission.name)
        name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
    return name.empty() ? std::string("student") : name;
}

std::string Score(const CScenario& scenario, const CGrade& grade)
{
    return std::to_string(grade.points) + "/" + std::to_string(scenario.TotalPoints());
}

std::string PageTop(const std::string& title)
{
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + Markup(title)
        + "</title>\n<style>\n"
          "body { font-family: sans-serif; margin: 2em; }\n"
          "table { border-collapse: collapse; }\n"
          "td, th { border: 1px solid #999; padding: 0.3em 0.6em; text-align: left; vertical-align: top; }\n"
          ".passed { background: #dfd; }\n.failed { background: #fdd; }\n"
          "pre { background: #f4f4f4; padding: 0.5em; }\n"
          "</style>\n</head>\n<body>\n";
}

}

std::string PageName(const CGrade& grade) { return "students/" + FileStem(grade) + ".html"; }

std::string PictureName(const CGrade& grade, std::size_t check)
{
    return "students/" + FileStem(grade) + "-check" + std::to_string(check + 1) + ".png";
}

std::string MarksCsv(const CScenario& scenario, const std::vector<CGrade>& grades)
{
    std::string csv = "student";
    for (const CCheck& check : scenario.checks)
        csv += "," + CsvField(check.name);
    csv += ",total,ending\n";
    csv += "out of";
    for (const CCheck& check : scenario.checks)
        csv += "," + std::to_string(check.points);
    csv += "," + std::to_string(scenario.TotalPoints()) + ",\n";
    for (const CGrade& grade : grades) {
        csv += CsvField(grade.submission.name);
        for (std::size_t i = 0; i < scenario.checks.size(); ++i)
            csv += "," + std::to_string(grade.run.checks[i].passed ? scenario.checks[i].points : 0);
        csv += "," + std::to_string(grade.points) + "," + CsvField(grade.run.ending) + "\n";
    }
    return csv;
}

std::string JunitXml(const CScenario& scenario, const std::vector<CGrade>& grades)
{
    std::size_t failures = 0;
    for (const CGrade& grade : grades)
        for (const CCheckResult& check : grade.run.checks)
            failures += !check.passed;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"" + Markup(scenario.title)
        + "\" tests=\"" + std::to_string(grades.size() * scenario.checks.size()) + "\" failures=\""
        + std::to_string(failures) + "\">\n";
    for (const CGrade& grade : grades) {
        std::size_t failed = 0;
        for (const CCheckResult& check : grade.run.checks)
            failed += !check.passed;
        xml += "  <testsuite name=\"" + Markup(grade.submission.name) + "\" tests=\""
            + std::to_string(scenario.checks.size()) + "\" failures=\"" + std::to_string(failed) + "\">\n";
        for (std::size_t i = 0; i < scenario.checks.size(); ++i) {
            const CCheckResult& result = grade.run.checks[i];
            xml += "    <testcase classname=\"" + Markup(grade.submission.name) + "\" name=\""
                + Markup(scenario.checks[i].name) + "\"";
            if (result.passed) {
                xml += "/>\n";
                continue;
            }
            xml += ">\n      <failure message=\"" + Markup(result.detail) + "\">" + Markup(result.board)
                + "</failure>\n    </testcase>\n";
        }
        if (!grade.built)
            xml += "    <system-out>" + Markup(grade.buildOutput) + "</system-out>\n";
        xml += "  </testsuite>\n";
    }
    return xml + "</testsuites>\n";
}

std::string StudentPage(const CScenario& scenario, const CGrade& grade)
{
    std::string html = PageTop(grade.submission.name + ": " + scenario.title);
    html += "<p><a href=\"../index.html\">The class</a></p>\n<h1>" + Markup(grade.submission.name) + ": "
        + Score(scenario, grade) + "</h1>\n";
    html += "<p>" + Markup(scenario.title) + " &mdash; " + Markup(grade.submission.path.string()) + "</p>\n";
    if (!grade.run.ending.empty())
        html += "<p><strong>" + Markup(grade.run.ending) + "</strong></p>\n";
    if (!grade.built)
        html += "<h2>What the build tools said</h2>\n<pre>" + Markup(grade.buildOutput) + "</pre>\n";
    html += "<table>\n<tr><th>Check</th><th>Points</th><th>What was seen</th></tr>\n";
    for (std::size_t i = 0; i < scenario.checks.size(); ++i) {
        const CCheckResult& result = grade.run.checks[i];
        html += std::string("<tr class=\"") + (result.passed ? "passed" : "failed") + "\"><td>"
            + Markup(scenario.checks[i].name) + "</td><td>"
            + std::to_string(result.passed ? scenario.checks[i].points : 0) + "/"
            + std::to_string(scenario.checks[i].points) + "</td><td>" + Markup(result.detail);
        if (result.panel)
            html += "<br><img src=\"" + Markup(std::filesystem::path(PictureName(grade, i)).filename().string())
                + "\" alt=\"" + Markup("The board's panel at machine cycle " + std::to_string(result.cycle) + ": "
                    + result.detail) + "\">";
        if (!result.board.empty())
            html += "<pre>" + Markup(result.board) + "</pre>";
        html += "</td></tr>\n";
    }
    return html + "</table>\n</body>\n</html>\n";
}

std::string ClassPage(const CScenario& scenario, const std::vector<CGrade>& grades)
{
    std::string html = PageTop(scenario.title);
    html += "<h1>" + Markup(scenario.title)
        + "</h1>\n<table>\n<tr><th>Student</th><th>Points</th><th>Ending</th></tr>\n";
    for (const CGrade& grade : grades)
        html += std::string("<tr class=\"") + (grade.points == scenario.TotalPoints() ? "passed" : "failed")
            + "\"><td><a href=\"" + Markup(PageName(grade)) + "\">" + Markup(grade.submission.name) + "</a></td><td>"
            + Score(scenario, grade) + "</td><td>" + Markup(grade.run.ending) + "</td></tr>\n";
    return html + "</table>\n</body>\n</html>\n";
}

bool WriteReports(const std::filesystem::path& folder, const CScenario& scenario, const std::vector<CGrade>& grades,
    std::string& error)
{
    std::error_code failed;
    std::filesystem::create_directories(folder / "students", failed);
    auto write = [&](const std::string& name, const std::string& text) {
        const std::filesystem::path path = folder / name;
        std::ofstream out(path, std::ios::binary);
        out << text;
        out.close();
        if (!out)
            error = "cannot write " + path.string();
        return bool(out);
    };
    if (!write("marks.csv", MarksCsv(scenario, grades)) || !write("junit.xml", JunitXml(scenario, grades))
        || !write("index.html", ClassPage(scenario, grades)))
        return false;
    const boardpanel::CPanelLayout layout = boardpanel::LayOutPanel(scenario.board);
    for (const CGrade& grade : grades) {
        if (!write(PageName(grade), StudentPage(scenario, grade)))
            return false;
        for (std::size_t i = 0; i < grade.run.checks.size(); ++i) {
            const std::optional<boardpanel::CPanelState>& panel = grade.run.checks[i].panel;
            if (!panel)
                continue;
            const std::filesystem::path path = folder / PictureName(grade, i);
            std::shared_ptr<zorkit::Surface> picture = boardpanel::PanelPicture(layout, *panel, {});
            if (!picture || !picture->WritePng(path.c_str())) {
                error = "cannot write " + path.string();
                return false;
            }
        }
    }
    return true;
}

}
