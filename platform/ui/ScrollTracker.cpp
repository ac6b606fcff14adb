#include "zorkit/platform/ui/internal/ScrollTracker.h"

#include "zorkit/platform/ui/WinUser.h"
#include "zorkit/platform/ui/internal/WindowState.h"

namespace {

bool IsVertical(zorkit::WindowState* s, int bar) { return bar == SB_CTL ? (s->style & SBS_VERT) != 0 : bar == SB_VERT; }

}

namespace zorkit {

ScrollBarState* ScrollTracker::State() const
{
    WindowState* s = StateOf(m_hwnd);
    if (!s)
        return nullptr;
    int index = m_bar == SB_CTL ? ((s->style & SBS_VERT) ? SB_VERT : SB_HORZ) : m_bar;
    return &s->bars[index];
}

CRect ScrollTracker::BarOnScreen() const
{
    WindowState* s = StateOf(m_hwnd);
    if (!s)
        return CRect();
    if (m_bar == SB_CTL) {
        CRect client = s->ClientRect();
        CPoint origin = s->ClientOriginOnScreen();
        client.OffsetRect(origin.x, origin.y);
        return client;
    }
    CRect bar = s->BarRect(m_bar);
    CPoint origin = s->ClientOriginOnScreen();
    CRect client = s->ClientInWindow();
    bar.OffsetRect(origin.x - client.left, origin.y - client.top);
    return bar;
}

void ScrollTracker::Send(UINT code, int pos) const
{
    WindowState* s = StateOf(m_hwnd);
    if (!s)
        return;
    UINT message = IsVertical(s, m_bar) ? WM_VSCROLL : WM_HSCROLL;
    HWND to = m_bar == SB_CTL ? ::GetParent(m_hwnd) : m_hwnd;
    LPARAM from = m_bar == SB_CTL ? reinterpret_cast<LPARAM>(m_hwnd) : 0;
    ::SendMessage(to, message, MAKEWPARAM(WORD(code), WORD(pos)), from);
}

std::unique_ptr<ScrollTracker> ScrollTracker::Begin(HWND hwnd, int bar, CPoint screen)
{
    WindowState* s = StateOf(hwnd);
    if (!s || (s->style & WS_DISABLED))
        return nullptr;
    std::unique_ptr<ScrollTracker> tracker(new ScrollTracker(hwnd, bar));
    ScrollBarState* state = tracker->State();
    if (!state->Needed() || state->Disabled() == ESB_DISABLE_BOTH)
        return nullptr;
    ScrollBarLayout layout(tracker->BarOnScreen(), IsVertical(s, bar), *state);
    tracker->m_part = layout.HitTest(screen);
    switch (tracker->m_part) {
    case ScrollPart::None:
        return nullptr;
    case ScrollPart::LineUp:
        tracker->Send(SB_LINEUP, 0);
        break;
    case ScrollPart::LineDown:
        tracker->Send(SB_LINEDOWN, 0);
        break;
    case ScrollPart::PageUp:
        tracker->Send(SB_PAGEUP, 0);
        break;
    case ScrollPart::PageDown:
        tracker->Send(SB_PAGEDOWN, 0);
        break;
    case ScrollPart::Thumb:
        tracker->m_grab = layout.Along(screen) - layout.ThumbStart();
        state->SetTrackPos(state->Pos());
        break;
    }
    ::SetCapture(hwnd);
    return tracker;
}

void ScrollTracker::MouseMove(CPoint screen)
{
    ScrollBarState* state = State();
    if (m_part != ScrollPart::Thumb || !state)
        return;
    ScrollBarLayout layout(BarOnScreen(), IsVertical(StateOf(m_hwnd), m_bar), *state);
    int pos = layout.PosFromThumbOffset(layout.Along(screen) - m_grab);
    if (pos == state->TrackPos())
        return;
    state->SetTrackPos(pos);
    Send(SB_THUMBTRACK, pos);
}

void ScrollTracker::ButtonUp(CPoint screen)
{
    MouseMove(screen);
    if (ScrollBarState* state = State(); state && m_part == ScrollPart::Thumb)
        Send(SB_THUMBPOSITION, state->TrackPos());
    Send(SB_ENDSCROLL, 0);
    if (::GetCapture() == m_hwnd)
        ::ReleaseCapture();
}

}
