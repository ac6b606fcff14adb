// The time to grade a class of 200 running-lights submissions, built from source
// and run through the sample scenario, on every core; and the same class as .ihx
// files, which leaves out the assembler; and the time to write the reports of the
// first, a picture of the board's panel at each failed check among them.
//
//   zorkit_grade_bench [COUNT] [JOBS]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tools/zorgrade/Grader.h"
#include "tools/zorgrade/Reports.h"

namespace fs = std::filesystem;

namespace {

// A class of `count` copies of the sample submissions, round and round.
std::vector<zorgrade::CSubmission> MakeClass(const fs::path& folder, int count, const char* extension)
{
    fs::create_directories(folder);
    std::vector<fs::path> samples;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(ZORGRADE_SAMPLES) / "running_lights"))
        if (entry.path().extension() == extension)
            samples.push_back(entry.path());
    std::sort(samples.begin(), samples.end());
    for (int n = 0; n < count; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "student%03d%s", n, extension);
        fs::copy_file(samples[std::size_t(n) % samples.size()], folder / name, fs::copy_options::overwrite_existing);
    }
    std::string error;
    return zorgrade::FindSubmissions({folder.string()}, error);
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds to grade `all`; `points` gets the class's points, the same on every run.
double Grade(const zorgrade::CScenario& scenario, const std::vector<zorgrade::CSubmission>& all, unsigned jobs,
    int& points, std::vector<zorgrade::CGrade>& grades)
{
    auto start = std::chrono::steady_clock::now();
    grades = zorgrade::GradeClass(scenario, all, jobs, [](std::size_t, const zorgrade::CGrade&) {});
    double seconds = SecondsSince(start);
    points = 0;
    for (const zorgrade::CGrade& grade : grades)
        points += grade.points;
    return seconds;
}

}

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 200;
    unsigned jobs = argc > 2 ? unsigned(std::atoi(argv[2])) : std::max(1u, std::thread::hardware_concurrency());
    std::string error;
    std::optional<zorgrade::CScenario> scenario
        = zorgrade::LoadScenario(fs::path(ZORGRADE_SAMPLES) / "running_lights.toml", error);
    if (!scenario) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const fs::path folder = fs::temp_directory_path() / ("zorgrade-bench-" + std::to_string(::getpid()));
    int points = 0;
    std::vector<zorgrade::CGrade> grades;
    std::vector<zorgrade::CSubmission> sources = MakeClass(folder / "asm", count, ".asm");
    double built = Grade(*scenario, sources, jobs, points, grades);
    std::printf("%d .asm submissions, %u jobs: %.2f s (%.1f ms each), %d points in all\n", count, jobs, built,
        built * 1000 / count, points);
    // The reports of the class built from source, a picture for each failed check.
    auto start = std::chrono::steady_clock::now();
    if (!zorgrade::WriteReports(folder / "reports", *scenario, grades, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    double written = SecondsSince(start);
    std::size_t pictures = 0;
    for (const zorgrade::CGrade& grade : grades)
        for (const zorgrade::CCheckResult& check : grade.run.checks)
            pictures += check.panel.has_value();
    std::printf("their reports with %zu pictures: %.2f s\n", pictures, written);
    std::vector<zorgrade::CSubmission> images = MakeClass(folder / "ihx", count, ".ihx");
    double ran = Grade(*scenario, images, jobs, points, grades);
    std::printf("%d .ihx submissions, %u jobs: %.2f s (%.1f ms each), %d points in all\n", count, jobs, ran,
        ran * 1000 / count, points);
    fs::remove_all(folder);
    return 0;
}
