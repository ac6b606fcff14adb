// The settings of one scroll bar (a window's own or a control's) and the rules that
// keep them consistent: the page never exceeds the range, the position stays within
// [min, max - page + 1], and a bar whose whole range fits in its page is not needed.
#pragma once

#include "zorkit/platform/ui/ScrollInfo.h"

namespace zorkit {

class ScrollBarState {
public:
    // Applies the parts named by info.fMask and returns the resulting position.
    int SetInfo(const SCROLLINFO& info);
    // Fills the parts named by info->fMask.
    void GetInfo(SCROLLINFO* info) const;

    bool Needed() const { return m_max > m_min && (m_page == 0 || int(m_page) <= m_max - m_min); }
    // The largest position the settings allow.
    int MaxPos() const;

    int Min() const { return m_min; }
    int Max() const { return m_max; }
    UINT Page() const { return m_page; }
    int Pos() const { return m_pos; }
    int TrackPos() const { return m_trackPos; }
    void SetTrackPos(int pos) { m_trackPos = pos; }
    // ESB_ flags of the disabled arrows.
    UINT Disabled() const { return m_disabled; }
    void SetDisabled(UINT flags) { m_disabled = flags; }

private:
    int m_min = 0;
    int m_max = 100;
    UINT m_page = 0;
    int m_pos = 0;
    int m_trackPos = 0;
    UINT m_disabled = ESB_ENABLE_BOTH;
};

}
