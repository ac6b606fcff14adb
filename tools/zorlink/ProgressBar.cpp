#include "tools/zorlink/ProgressBar.h"

#include <algorithm>
#include <cstdio>

#include "zorkit/platform/core/Terminal.h"

namespace zorlink {

CProgressBar::CProgressBar(std::string label, std::size_t total)
    : m_label(std::move(label)), m_total(std::max<std::size_t>(total, 1)), m_onTerminal(zorkit::IsTerminal(stderr))
{
    Update(0);
}

CProgressBar::~CProgressBar()
{
    if (m_onTerminal)
        std::fputs("\n", stderr);
}

void CProgressBar::Update(std::size_t done)
{
    const int percent = int(done * 100 / m_total);
    if (!m_onTerminal) {
        if (percent / 10 > m_tenthsShown) {
            m_tenthsShown = percent / 10;
            std::fprintf(stderr, "%s: %d%% (%zu of %zu bytes)\n", m_label.c_str(), m_tenthsShown * 10, done, m_total);
        }
        return;
    }
    constexpr int kWidth = 30;
    const int filled = int(done * kWidth / m_total);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    const double rate = seconds > 0 ? double(done) / seconds : 0;
    char left[32] = "";
    if (rate > 0)
        std::snprintf(left, sizeof left, ", %.0f s left", double(m_total - done) / rate);
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%  %.0f B/s%s   ", m_label.c_str(), filled,
                 "##############################", kWidth - filled, "", percent, rate, left);
    std::fflush(stderr);
}

}
