// Where the parts of a scroll bar lie (two arrows, the track, the thumb) for given
// settings, and which part a point hits. Shared by window scroll bars and controls.
#pragma once

#include "zorkit/platform/ui/internal/ScrollBarState.h"
#include "zorkit/platform/core/Geometry.h"

namespace zorkit {

enum class ScrollPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

class ScrollBarLayout {
public:
    ScrollBarLayout(const CRect& bar, bool vertical, const ScrollBarState& state);

    CRect ArrowUp() const { return m_arrowUp; }
    CRect ArrowDown() const { return m_arrowDown; }
    CRect Track() const { return m_track; }
    CRect Thumb() const { return m_thumb; }  // empty when the bar cannot scroll
    ScrollPart HitTest(CPoint point) const;
    // The position that puts the thumb's leading edge at `offset` along the track.
    int PosFromThumbOffset(int offset) const;
    // Along the bar's axis.
    int Along(CPoint point) const { return m_vertical ? point.y : point.x; }
    int ThumbStart() const { return m_vertical ? m_thumb.top : m_thumb.left; }

private:
    bool m_vertical;
    const ScrollBarState& m_state;
    CRect m_arrowUp, m_arrowDown, m_track, m_thumb;
    int m_thumbLength = 0;
};

}
