// Grades a class: builds and runs every submission through one scenario, on as many
// threads as asked, each submission on a board of its own. A submission that does not
// build, or whose run ends badly, fails its checks and nothing else.
//
//   std::vector<CGrade> grades = GradeClass(scenario, submissions, 2,
//       [](std::size_t index, const CGrade& grade) { print(grade); });
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "tools/zorgrade/Scenario.h"
#include "tools/zorgrade/ScenarioRun.h"
#include "tools/zorgrade/Submission.h"

namespace zorgrade {

struct CGrade {
    CSubmission submission;
    bool built = false;
    // What the build tools wrote (the reason, when it did not build).
    std::string buildOutput;
    CRunResult run;   // one result per check, also when it did not build
    int points = 0;
};

// The grade of one submission.
CGrade GradeSubmission(const CScenario& scenario, const CSubmission& submission);

// Calls `done` for each grade in the submissions' order, each as soon as it and all
// before it are graded, on one thread at a time.
std::vector<CGrade> GradeClass(const CScenario& scenario, const std::vector<CSubmission>& submissions, unsigned jobs,
    const std::function<void(std::size_t index, const CGrade& grade)>& done);

}
