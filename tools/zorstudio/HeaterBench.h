// The virtual experiment box running its heater plant, and a link to it over the
// board's pseudo-terminal, both inside this process.
#pragma once

#include <memory>
#include <string>

#include "zorkit/link/ZORComm.h"
#include "sim/VirtualBoard.h"

namespace zorstudio {

class CHeaterBench {
public:
    // Plant time that passes per sample.
    static constexpr double kSecondsPerSample = 0.5;

    // The board with its heater at room temperature and the link open on it; null with
    // `error` set when either fails.
    static std::unique_ptr<CHeaterBench> Start(std::string& error);
    CZORComm& Link() { return *m_link; }

private:
    CHeaterBench() = default;
    zorkit::sim::CVirtualBoard m_board;
    // Declared after the board: the link closes before the board hangs up.
    std::unique_ptr<CZORComm> m_link;
};

}
