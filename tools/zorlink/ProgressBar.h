// Progress of a long transfer on stderr: on a terminal one line redrawn with the
// rate and the time left, otherwise a line at every tenth of the way.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace zorlink {

class CProgressBar {
public:
    CProgressBar(std::string label, std::size_t total);
    ~CProgressBar();
    void Update(std::size_t done);

private:
    std::string m_label;
    std::size_t m_total; // never 0
    bool m_onTerminal;
    int m_tenthsShown = -1;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}
