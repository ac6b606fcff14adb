#include "zorkit/platform/ui/ScrollBar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

BOOL CScrollBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("SCROLLBAR", nullptr, style, rect, parent, id);
}

int CScrollBar::GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
int CScrollBar::SetScrollPos(int pos, BOOL redraw) { return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw); }
void CScrollBar::GetScrollRange(LPINT minPos, LPINT maxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, minPos, maxPos); }
void CScrollBar::SetScrollRange(int minPos, int maxPos, BOOL redraw) { ::SetScrollRange(m_hWnd, SB_CTL, minPos, maxPos, redraw); }
void CScrollBar::ShowScrollBar(BOOL show) { ::ShowScrollBar(m_hWnd, SB_CTL, show); }
BOOL CScrollBar::EnableScrollBar(UINT arrows) { return ::EnableScrollBar(m_hWnd, SB_CTL, arrows); }

BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO info, BOOL redraw)
{
    ::SetScrollInfo(m_hWnd, SB_CTL, info, redraw);
    return TRUE;
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO info, UINT mask)
{
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, info);
}

int CScrollBar::GetScrollLimit()
{
    SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(&info, SIF_RANGE | SIF_PAGE);
    return std::max(info.nMin, info.nMax - std::max(int(info.nPage) - 1, 0));
}

namespace zorkit {

CScrollBar* ScrollBarFromHandle(HWND hwnd)
{
    return dynamic_cast<CScrollBar*>(CWnd::FromHandle(hwnd));
}

}
