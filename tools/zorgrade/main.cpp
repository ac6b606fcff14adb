// zorgrade: builds and runs every student's program on the virtual board through
// one scenario, and writes the marks.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tools/common/ExitStatus.h"
#include "tools/common/Numbers.h"
#include "tools/common/OptionTable.h"
#include "tools/common/ToolMain.h"
#include "tools/zorgrade/Grader.h"
#include "tools/zorgrade/Reports.h"
#include "tools/zorgrade/Scenario.h"

namespace zorgrade {

namespace {

struct COptions {
    std::string out = "grades";
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    std::string scenario;
    std::vector<std::string> submissions;
};

std::optional<int> ParseCommandLine(const std::vector<std::string>& arguments, COptions& options)
{
    tools::COptionTable table("zorgrade", "Usage: zorgrade [--out DIR] [--jobs N] SCENARIO SUBMISSION...",
        "Build every SUBMISSION with sdcc's tools and run it on a virtual board of its own\n"
        "through SCENARIO (a TOML file: the program's start, limits, inputs at machine\n"
        "cycles, checks with points). A SUBMISSION is a .asm, .c, .hex or .ihx file, a\n"
        "folder of one program's sources (a .zpj project file, or its .c and .asm files),\n"
        "or a class: a folder in which each program file and each folder is one\n"
        "submission (a folder there may hold several .asm files, linked together).\n"
        "\n"
        "One line per submission goes to stdout as it is graded, in the order given; on\n"
        "a terminal a progress bar over the class is drawn on stderr.");
    table.Value("-o,--out", "DIR",
        "write marks.csv, junit.xml, index.html and a page per\nstudent (students/NAME.html, with a picture of the\nboard's panel at each failed check) into DIR (default: grades)",
        [&](const std::string& value) -> std::optional<std::string> {
            if (value.empty())
                return "--out takes a folder";
            options.out = value;
            return std::nullopt;
        });
    table.Value("-j,--jobs", "N", "grade N submissions at once (default: one per core)",
        [&](const std::string& value) -> std::optional<std::string> {
            std::optional<std::uint32_t> jobs = tools::ParseDecimal(value, 256);
            if (!jobs || *jobs == 0)
                return "--jobs takes a count from 1 to 256, not '" + value + "'";
            options.jobs = *jobs;
            return std::nullopt;
        });
    table.Footer("Exit status: 0 every submission was graded (whatever its marks), 1 the scenario\n"
                 "or a report could not be read or written, 2 bad command line.\n");
    tools::CCommandLine line = table.Parse(arguments);
    if (std::optional<int> status = table.EarlyExit(line))
        return status;
    if (line.words.empty())
        return tools::UsageError("zorgrade", "no SCENARIO given");
    if (line.words.size() < 2)
        return tools::UsageError("zorgrade", "no SUBMISSION given after the scenario " + line.words[0]);
    options.scenario = line.words[0];
    options.submissions.assign(line.words.begin() + 1, line.words.end());
    return std::nullopt;
}

// "alice   7/10  failed: LED order, step timing (stack overflow: ...)"
std::string GradeLine(const CScenario& scenario, const CGrade& grade, std::size_t nameWidth)
{
    std::string line = grade.submission.name;
    line.resize(std::max(line.size(), nameWidth), ' ');
    line += "  " + std::to_string(grade.points) + "/" + std::to_string(scenario.TotalPoints());
    std::string failed;
    for (std::size_t i = 0; i < scenario.checks.size(); ++i)
        if (!grade.run.checks[i].passed)
            failed += (failed.empty() ? "" : ", ") + scenario.checks[i].name;
    if (!failed.empty())
        line += "  failed: " + failed;
    if (!grade.run.ending.empty())
        line += " (" + grade.run.ending + ")";
    return line;
}

void DrawProgress(std::size_t done, std::size_t total)
{
    constexpr std::size_t kWidth = 30;
    std::size_t filled = total ? done * kWidth / total : kWidth;
    std::fprintf(stderr, "\r[%s%s] %zu/%zu", std::string(filled, '#').c_str(),
        std::string(kWidth - filled, '.').c_str(), done, total);
    if (done == total)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

int Grade(int argc, char** argv)
{
    COptions options;
    if (std::optional<int> status = ParseCommandLine({argv + 1, argv + argc}, options))
        return *status;
    std::string error;
    std::optional<CScenario> scenario = LoadScenario(options.scenario, error);
    if (!scenario) {
        std::fprintf(stderr, "zorgrade: %s\n", error.c_str());
        return tools::kExitFailed;
    }
    std::vector<CSubmission> submissions = FindSubmissions(options.submissions, error);
    if (submissions.empty()) {
        std::fprintf(stderr, "zorgrade: %s\n", error.c_str());
        return tools::kExitFailed;
    }
    std::size_t nameWidth = 0;
    for (const CSubmission& submission : submissions)
        nameWidth = std::max(nameWidth, submission.name.size());
    const bool bar = ::isatty(STDERR_FILENO);
    if (bar)
        DrawProgress(0, submissions.size());
    auto graded = [&](std::size_t index, const CGrade& grade) {
        if (bar)
            std::fputs("\r\033[K", stderr);
        std::printf("%s\n", GradeLine(*scenario, grade, nameWidth).c_str());
        std::fflush(stdout);
        if (bar)
            DrawProgress(index + 1, submissions.size());
    };
    std::vector<CGrade> grades = GradeClass(*scenario, submissions, options.jobs, graded);
    if (!WriteReports(options.out, *scenario, grades, error)) {
        std::fprintf(stderr, "zorgrade: %s\n", error.c_str());
        return tools::kExitFailed;
    }
    return tools::kExitOk;
}

}

}

int main(int argc, char** argv)
{
    return tools::RunTool("zorgrade", zorgrade::Grade, argc, argv);
}
