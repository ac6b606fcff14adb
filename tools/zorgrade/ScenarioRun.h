// Runs one program on a fresh board of its own through a scenario, as the monitor
// starts a program (a reset, then PC at the start), with no line and no thread:
// the inputs come at their machine cycles and each check is decided as its moment
// passes. A program that ends badly (undefined opcode, stack overflow, a limit)
// fails every check not yet decided, with that reason.
//
//   CRunResult result = RunScenario(scenario, program);
//   for (std::size_t i = 0; i < result.checks.size(); ++i)
//       print(scenario.checks[i].name, result.checks[i].passed, result.checks[i].detail);
//
// The same program and scenario give the same result on any machine, unless the
// wall-time limit ends the run first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/boardpanel/PanelState.h"
#include "tools/common/IntelHex.h"
#include "tools/zorgrade/Scenario.h"

namespace zorgrade {

struct CCheckResult {
    bool passed = false;
    // What was seen ("LEDs .*...... at cycle 50012"), or why the check could not be made.
    std::string detail;
    // The machine cycle at which it was decided.
    std::uint64_t cycle = 0;
    // The board's devices at that cycle, one "name: state" line each.
    std::string board;
    // What the board's panel showed at that cycle, for a picture of a failed check.
    std::optional<boardpanel::CPanelState> panel;
};

struct CRunResult {
    std::vector<CCheckResult> checks; // one per check of the scenario, in its order
    // Why the run ended before the scenario did; empty when it ran to its end.
    std::string ending;
    std::uint64_t cycles = 0;
};

CRunResult RunScenario(const CScenario& scenario, const std::vector<CIntelHex::Run>& program);

}
