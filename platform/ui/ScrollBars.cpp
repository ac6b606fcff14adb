// Scroll-bar settings of windows (SB_HORZ, SB_VERT) and of scroll-bar controls
// (SB_CTL, kept in the control's own state). A window bar that is not needed is
// hidden, or disabled when the caller asks for SIF_DISABLENOSCROLL.
#include "zorkit/platform/ui/internal/NonClient.h"
#include "zorkit/platform/ui/WinUser.h"
#include "zorkit/platform/ui/internal/WindowState.h"
#include "zorkit/platform/ui/internal/WindowTree.h"

namespace {

zorkit::WindowState* State(HWND hwnd) { return zorkit::StateOf(hwnd); }

zorkit::ScrollBarState* Bar(zorkit::WindowState* s, int bar)
{
    if (!s)
        return nullptr;
    if (bar == SB_CTL)
        return &s->bars[(s->style & SBS_VERT) ? SB_VERT : SB_HORZ];
    if (bar == SB_HORZ || bar == SB_VERT)
        return &s->bars[bar];
    return nullptr;
}

DWORD StyleBit(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

// A window bar appearing or going changes the client area.
void ShowBar(zorkit::WindowState* s, int bar, bool show)
{
    DWORD bit = StyleBit(bar);
    if (bool(s->style & bit) == show)
        return;
    s->style = show ? (s->style | bit) : (s->style & ~bit);
    HWND hwnd = s->hwnd;
    zorkit::InvalidateFrame(s);
    InvalidateRect(hwnd, nullptr, TRUE);
    zorkit::ReportClientSize(s);
}

void Redraw(zorkit::WindowState* s, int bar)
{
    if (bar == SB_CTL) {
        InvalidateRect(s->hwnd, nullptr, TRUE);
        return;
    }
    if (s->IsVisible())
        zorkit::DrawFrame(s->hwnd);
    else
        s->frameDirty = true;
}

}

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    zorkit::WindowState* s = State(hwnd);
    zorkit::ScrollBarState* state = Bar(s, bar);
    if (!state || !info)
        return 0;
    int pos = state->SetInfo(*info);
    if (info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) {
        bool needed = state->Needed();
        bool keep = (info->fMask & SIF_DISABLENOSCROLL) != 0;
        state->SetDisabled(needed || !keep ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
        if (bar != SB_CTL)
            ShowBar(s, bar, needed || keep);
        if (!(s = State(hwnd)))
            return pos;
    }
    if (redraw)
        Redraw(s, bar);
    return pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info)
{
    zorkit::ScrollBarState* state = Bar(State(hwnd), bar);
    if (!state || !info)
        return FALSE;
    state->GetInfo(info);
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw)
{
    zorkit::ScrollBarState* state = Bar(State(hwnd), bar);
    if (!state)
        return 0;
    int previous = state->Pos();
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
    SetScrollInfo(hwnd, bar, &info, redraw);
    return previous;
}

int GetScrollPos(HWND hwnd, int bar)
{
    zorkit::ScrollBarState* state = Bar(State(hwnd), bar);
    return state ? state->Pos() : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw)
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, minPos, maxPos, 0, 0, 0};
    return Bar(State(hwnd), bar) && (SetScrollInfo(hwnd, bar, &info, redraw), TRUE);
}

BOOL GetScrollRange(HWND hwnd, int bar, LPINT minPos, LPINT maxPos)
{
    zorkit::ScrollBarState* state = Bar(State(hwnd), bar);
    if (!state)
        return FALSE;
    *minPos = state->Min();
    *maxPos = state->Max();
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show)
{
    zorkit::WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    if (bar == SB_CTL)
        return ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE), TRUE;
    if (bar == SB_HORZ || bar == SB_BOTH)
        ShowBar(s, SB_HORZ, show);
    if ((bar == SB_VERT || bar == SB_BOTH) && (s = State(hwnd)))
        ShowBar(s, SB_VERT, show);
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, int bar, UINT arrows)
{
    zorkit::WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    for (int b : {SB_HORZ, SB_VERT, SB_CTL}) {
        if (b != bar && !(bar == SB_BOTH && b != SB_CTL))
            continue;
        zorkit::ScrollBarState* state = Bar(s, b);
        if (state->Disabled() == arrows)
            continue;
        state->SetDisabled(arrows);
        Redraw(s, b);
    }
    return TRUE;
}
