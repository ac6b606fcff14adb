#include "zorkit/grid/GridTitleTip.h"

#include <cstring>

#include "zorkit/platform/core/ResourceException.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/ClientDC.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/WindowClass.h"

namespace {
constexpr const char* kTitleTipClassName = "ZTitleTip";

LPARAM Pack(CPoint p) { return MAKELPARAM(WORD(p.x), WORD(p.y)); }
}

const CMessageMap* CGridTitleTip::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapMessage<WM_MOUSEMOVE>(&CGridTitleTip::OnMouseMove),
    });
    return &map;
}

CGridTitleTip::CGridTitleTip()
{
    WNDCLASS wndcls{};
    if (GetClassInfo(nullptr, kTitleTipClassName, &wndcls))
        return;
    wndcls.style = CS_SAVEBITS;
    wndcls.lpfnWndProc = ::DefWindowProc;
    wndcls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wndcls.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_INFOBK + 1));
    wndcls.lpszClassName = kTitleTipClassName;
    if (!AfxRegisterClass(&wndcls))
        AfxThrowResourceException();
}

CGridTitleTip::~CGridTitleTip() = default;

BOOL CGridTitleTip::Create(CWnd* pParentWnd)
{
    m_pParentWnd = pParentWnd;
    return CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTitleTipClassName, nullptr, WS_BORDER | WS_POPUP, 0, 0, 0, 0,
                    nullptr, 0);
}

void CGridTitleTip::Show(CRect rectTitle, LPCTSTR lpszTitleText, int xoffset)
{
    if (!::IsWindow(m_hWnd) || !m_pParentWnd || IsWindowVisible() || !GetFocus())
        return;
    m_rectTitle = CRect(-xoffset - 1, -1, rectTitle.Width() - xoffset, rectTitle.Height() + 1);
    m_pParentWnd->ClientToScreen(&rectTitle);

    CClientDC dc(this);
    CFont* oldFont = dc.SelectObject(m_pParentWnd->GetFont());
    const CSize size = dc.GetTextExtent(lpszTitleText, -1);
    CRect display = rectTitle;
    display.left += xoffset;
    display.right = display.left + size.cx + xoffset + 6;
    // The text does not fit when its width + 6 exceeds the cell's (rectTitle is inclusive).
    if (display.right > rectTitle.right + 1 - xoffset) {
        ::SetWindowPos(m_hWnd, HWND_TOP, display.left, display.top, display.Width(), display.Height(),
                       SWP_SHOWWINDOW | SWP_NOACTIVATE);
        // The background is erased now, so that the text drawn next stays.
        UpdateWindow();
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(0, 0, lpszTitleText, int(std::strlen(lpszTitleText)));
        SetCapture();
    }
    dc.SelectObject(oldFont);
}

void CGridTitleTip::Hide()
{
    if (!::IsWindow(m_hWnd))
        return;
    if (GetCapture() == this)
        ::ReleaseCapture();
    ShowWindow(SW_HIDE);
}

CWnd* CGridTitleTip::TargetAt(CPoint screen, int& hitTest)
{
    CWnd* target = WindowFromPoint(screen);
    if (!target || target == this)
        target = m_pParentWnd;
    hitTest = target ? int(target->SendMessage(WM_NCHITTEST, 0, Pack(screen))) : HTNOWHERE;
    return target;
}

void CGridTitleTip::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_rectTitle.PtInRect(point))
        return;
    Hide();
    ClientToScreen(&point);
    int hitTest = HTNOWHERE;
    CWnd* target = TargetAt(point, hitTest);
    if (!target)
        return;
    if (hitTest == HTCLIENT) {
        target->ScreenToClient(&point);
        target->PostMessage(WM_MOUSEMOVE, nFlags, Pack(point));
    } else {
        target->PostMessage(WM_NCMOUSEMOVE, WPARAM(hitTest), Pack(point));
    }
}

BOOL CGridTitleTip::PreTranslateMessage(MSG* pMsg)
{
    switch (pMsg->message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        CPoint point(short(LOWORD(pMsg->lParam)), short(HIWORD(pMsg->lParam)));
        ClientToScreen(&point);
        int hitTest = HTNOWHERE;
        CWnd* target = TargetAt(point, hitTest);
        if (!target)
            return FALSE;
        UINT message = pMsg->message;
        WPARAM wParam = pMsg->wParam;
        if (hitTest == HTCLIENT) {
            target->ScreenToClient(&point);
        } else {
            message = message == WM_LBUTTONDOWN ? WM_NCLBUTTONDOWN
                      : message == WM_RBUTTONDOWN ? WM_NCRBUTTONDOWN
                                                  : WM_NCMBUTTONDOWN;
            wParam = WPARAM(hitTest);
        }
        Hide();
        target->PostMessage(message, wParam, Pack(point));
        return TRUE;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        Hide();
        if (m_pParentWnd)
            m_pParentWnd->PostMessage(pMsg->message, pMsg->wParam, pMsg->lParam);
        return TRUE;
    default:
        break;
    }
    if (!GetFocus()) {
        Hide();
        return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}
