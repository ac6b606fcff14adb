// A bar between two panes that the user drags to move the border between them. The
// bar does not move itself: while the button is held it reports where its leading
// edge (left for a vertical bar, top for a horizontal one) would go, in its parent's
// client coordinates, and the owner lays the panes and the bar out again.
//
//   CSplitterBar bar(CSplitterBar::Vertical);
//   bar.onDrag = [&](int left) { listingLeft = left; Layout(); };
//   bar.onDragEnd = [&] { SaveLayout(); };
//   bar.Create(mainWnd, CRect(300, 40, 300 + CSplitterBar::kThickness, 500), IdSplitter);
#pragma once

#include <functional>

#include "zorkit/platform/ui/Wnd.h"

class CSplitterBar : public CWnd {
public:
    enum Orientation { Vertical, Horizontal };
    static constexpr int kThickness = 5;

    explicit CSplitterBar(Orientation orientation) : m_orientation(orientation) {}

    BOOL Create(CWnd* parent, const CRect& rect, UINT id);
    Orientation GetOrientation() const { return m_orientation; }
    bool IsDragging() const { return m_dragging; }

    // The leading edge the pointer asks for while the button is held.
    std::function<void(int)> onDrag;
    // The button went up (or the capture was lost) after a drag began.
    std::function<void()> onDragEnd;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnCaptureChanged(CWnd* gaining);

private:
    void EndDrag();

    Orientation m_orientation;
    bool m_dragging = false;
    int m_grab = 0;  // where in the bar the pointer took hold
};
