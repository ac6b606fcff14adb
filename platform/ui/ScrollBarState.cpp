#include "zorkit/platform/ui/internal/ScrollBarState.h"

#include <algorithm>

namespace zorkit {

int ScrollBarState::MaxPos() const { return std::max(m_min, m_max - std::max(int(m_page) - 1, 0)); }

int ScrollBarState::SetInfo(const SCROLLINFO& info)
{
    if (info.fMask & SIF_RANGE) {
        m_min = info.nMin;
        m_max = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE)
        m_page = info.nPage;
    // The page cannot be larger than the whole range.
    long long range = (long long)m_max - m_min + 1;
    if ((long long)m_page > range)
        m_page = UINT(range);
    if (info.fMask & SIF_POS)
        m_pos = info.nPos;
    if (info.fMask & SIF_TRACKPOS)
        m_trackPos = info.nTrackPos;
    m_pos = std::clamp(m_pos, m_min, MaxPos());
    return m_pos;
}

void ScrollBarState::GetInfo(SCROLLINFO* info) const
{
    if (info->fMask & SIF_RANGE) {
        info->nMin = m_min;
        info->nMax = m_max;
    }
    if (info->fMask & SIF_PAGE)
        info->nPage = m_page;
    if (info->fMask & SIF_POS)
        info->nPos = m_pos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = m_trackPos;
}

}
