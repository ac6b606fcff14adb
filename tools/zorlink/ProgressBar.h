// A one-line progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <cstddef>
#include <string>

class CProgressBar {
public:
    CProgressBar(std::string label, std::size_t total);
    ~CProgressBar();
    void Update(std::size_t done);

private:
    std::string m_label;
    std::size_t m_total;
    bool m_shown;
};
