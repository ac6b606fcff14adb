#include "tools/zorlink/ProgressBar.h"

#include <cstdio>

#include "zorkit/platform/core/Terminal.h"

CProgressBar::CProgressBar(std::string label, std::size_t total)
    : m_label(std::move(label)), m_total(total ? total : 1), m_shown(zorkit::IsTerminal(stderr))
{
    Update(0);
}

CProgressBar::~CProgressBar()
{
    if (m_shown)
        std::fputs("\n", stderr);
}

void CProgressBar::Update(std::size_t done)
{
    if (!m_shown)
        return;
    constexpr int kWidth = 40;
    int filled = int(done * kWidth / m_total);
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", m_label.c_str(), filled, "########################################",
                 kWidth - filled, "", int(done * 100 / m_total));
    std::fflush(stderr);
}
