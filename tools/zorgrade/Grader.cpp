#include "tools/zorgrade/Grader.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace zorgrade {

CGrade GradeSubmission(const CScenario& scenario, const CSubmission& submission)
{
    CGrade grade;
    grade.submission = submission;
    CBuiltProgram built;
    try {
        built = BuildSubmission(submission, scenario.start);
    } catch (const std::exception& failure) {
        // A folder that cannot be read, for one: this submission fails, the others go on.
        built.output = failure.what();
    }
    grade.built = built.ok;
    grade.buildOutput = std::move(built.output);
    auto failAll = [&](const std::string& reason) {
        grade.run.ending = reason;
        grade.run.checks.assign(scenario.checks.size(), CCheckResult{false, reason, 0, {}, {}});
    };
    if (!built.ok) {
        failAll("the program does not build");
    } else {
        try {
            grade.run = RunScenario(scenario, built.runs);
        } catch (const std::exception& failure) {
            failAll(std::string("the run could not go on: ") + failure.what());
        }
    }
    for (std::size_t i = 0; i < scenario.checks.size(); ++i)
        if (grade.run.checks[i].passed)
            grade.points += scenario.checks[i].points;
    return grade;
}

std::vector<CGrade> GradeClass(const CScenario& scenario, const std::vector<CSubmission>& submissions, unsigned jobs,
    const std::function<void(std::size_t index, const CGrade& grade)>& done)
{
    std::vector<std::optional<CGrade>> grades(submissions.size());
    std::atomic<std::size_t> next{0};
    std::mutex lock;
    std::size_t reported = 0;
    auto work = [&] {
        for (std::size_t i; (i = next++) < submissions.size();) {
            CGrade grade = GradeSubmission(scenario, submissions[i]);
            std::lock_guard<std::mutex> hold(lock);
            grades[i] = std::move(grade);
            for (; reported < grades.size() && grades[reported]; ++reported)
                done(reported, *grades[reported]);
        }
    };
    std::vector<std::thread> workers;
    for (unsigned n = 1; n < std::max(1u, jobs); ++n)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    std::vector<CGrade> all;
    for (std::optional<CGrade>& grade : grades)
        all.push_back(std::move(*grade));
    return all;
}

}
