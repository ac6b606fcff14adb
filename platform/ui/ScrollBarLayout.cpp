#include "zorkit/platform/ui/internal/ScrollBarLayout.h"

#include <algorithm>

#include "zorkit/platform/gdi/SystemSettings.h"

namespace zorkit {

ScrollBarLayout::ScrollBarLayout(const CRect& bar, bool vertical, const ScrollBarState& state)
    : m_vertical(vertical), m_state(state)
{
    int length = vertical ? bar.Height() : bar.Width();
    int arrow = vertical ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL);
    arrow = std::min(arrow, length / 2);
    int trackLength = length - 2 * arrow;
    if (vertical) {
        m_arrowUp = CRect(bar.left, bar.top, bar.right, bar.top + arrow);
        m_arrowDown = CRect(bar.left, bar.bottom - arrow, bar.right, bar.bottom);
        m_track = CRect(bar.left, m_arrowUp.bottom, bar.right, m_arrowDown.top);
    } else {
        m_arrowUp = CRect(bar.left, bar.top, bar.left + arrow, bar.bottom);
        m_arrowDown = CRect(bar.right - arrow, bar.top, bar.right, bar.bottom);
        m_track = CRect(m_arrowUp.right, bar.top, m_arrowDown.left, bar.bottom);
    }
    int minThumb = vertical ? GetSystemMetrics(SM_CYVTHUMB) : GetSystemMetrics(SM_CXHTHUMB);
    long long range = (long long)state.Max() - state.Min() + 1;
    if (!state.Needed() || trackLength < minThumb / 2)
        return;
    m_thumbLength = state.Page() ? int(std::max<long long>(minThumb / 2, trackLength * (long long)state.Page() / range))
                                 : minThumb;
    m_thumbLength = std::min(m_thumbLength, trackLength);
    long long span = (long long)state.MaxPos() - state.Min();
    int travel = trackLength - m_thumbLength;
    int offset = span > 0 ? int(travel * ((long long)state.Pos() - state.Min()) / span) : 0;
    if (vertical)
        m_thumb = CRect(bar.left, m_track.top + offset, bar.right, m_track.top + offset + m_thumbLength);
    else
        m_thumb = CRect(m_track.left + offset, bar.top, m_track.left + offset + m_thumbLength, bar.bottom);
}

ScrollPart ScrollBarLayout::HitTest(CPoint point) const
{
    if (m_arrowUp.PtInRect(point))
        return ScrollPart::LineUp;
    if (m_arrowDown.PtInRect(point))
        return ScrollPart::LineDown;
    if (!m_track.PtInRect(point) || m_thumb.IsRectEmpty())
        return ScrollPart::None;
    if (m_thumb.PtInRect(point))
        return ScrollPart::Thumb;
    return Along(point) < ThumbStart() ? ScrollPart::PageUp : ScrollPart::PageDown;
}

int ScrollBarLayout::PosFromThumbOffset(int offset) const
{
    int trackStart = m_vertical ? m_track.top : m_track.left;
    int travel = (m_vertical ? m_track.Height() : m_track.Width()) - m_thumbLength;
    if (travel <= 0)
        return m_state.Min();
    long long span = (long long)m_state.MaxPos() - m_state.Min();
    long long along = std::clamp(offset - trackStart, 0, travel);
    return int(m_state.Min() + (span * along + travel / 2) / travel);
}

}
