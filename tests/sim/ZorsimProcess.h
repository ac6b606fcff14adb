// zorsim as a user runs it, for tests: a child process with its three standard
// streams on pipes, waited on with the tests' patience.
#pragma once

#include <string>
#include <vector>

#include "tests/sim/HostLine.h"
#include "tests/support/ChildProcess.h"

namespace zorkit::sim::test {

class CZorsimProcess : public zorkit::test::CChildProcess {
public:
    explicit CZorsimProcess(const std::vector<std::string>& arguments)
        : CChildProcess(ZORSIM_PATH, arguments, kPatience)
    {
    }

    // The first line of stdout: the pseudo-terminal's path.
    std::string Path()
    {
        WaitForOut("\n");
        return Out().substr(0, Out().find('\n'));
    }
};

}
