// The desktop's default handling of messages.
#include <algorithm>
#include <cstring>

#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/SystemSettings.h"
#include "zorkit/platform/ui/internal/Desktop.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/internal/NonClient.h"
#include "zorkit/platform/ui/WindowDCs.h"

namespace {

using zorkit::WindowState;

LRESULT HitTest(WindowState* s, CPoint screen)
{
    CPoint origin = s->ClientOriginOnScreen();
    CRect client = s->ClientInWindow();
    CPoint inWindow(screen.x - origin.x + client.left, screen.y - origin.y + client.top);
    if (!CRect(0, 0, s->rect.Width(), s->rect.Height()).PtInRect(inWindow))
        return HTNOWHERE;
    if (client.PtInRect(inWindow))
        return HTCLIENT;
    if (s->BarRect(SB_VERT).PtInRect(inWindow))
        return HTVSCROLL;
    if (s->BarRect(SB_HORZ).PtInRect(inWindow))
        return HTHSCROLL;
    return HTBORDER;
}

// Class brushes may be a system colour index + 1.
void FillBackground(WindowState* s, CDC* dc)
{
    HBRUSH brush = s->cls ? s->cls->attributes.hbrBackground : nullptr;
    if (!brush)
        return;
    CRect area;
    dc->GetClipBox(&area);
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value <= SYS_COLOR_COUNT)
        dc->FillSolidRect(&area, GetSysColor(int(value) - 1));
    else
        dc->FillRect(&area, CBrush::FromHandle(brush));
}

}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowState* s = zorkit::StateOf(hwnd);
    if (!s)
        return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCHITTEST:
        return HitTest(s, zorkit::PointFromLParam(lParam));
    case WM_SETCURSOR: {
        if (s->parent && ::SendMessage(s->parent->hwnd, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        HCURSOR classCursor = s->cls ? s->cls->attributes.hCursor : nullptr;
        if (short(LOWORD(lParam)) == HTCLIENT) {
            if (classCursor)
                SetCursor(classCursor);
            return classCursor != nullptr;
        }
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return FALSE;
    }
    case WM_MOUSEACTIVATE:
        if (s->parent) {
            LRESULT answer = ::SendMessage(s->parent->hwnd, WM_MOUSEACTIVATE, wParam, lParam);
            if (answer)
                return answer;
        }
        return MA_ACTIVATE;
    case WM_MOUSEWHEEL:
        return s->parent ? ::SendMessage(s->parent->hwnd, WM_MOUSEWHEEL, wParam, lParam) : 0;
    case WM_ERASEBKGND:
        if (CDC* dc = zorkit::DCFromHandle(reinterpret_cast<HDC>(wParam))) {
            FillBackground(s, dc);
            return s->cls && s->cls->attributes.hbrBackground ? 1 : 0;
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        CDC dc;
        zorkit::BeginPaintOn(dc, hwnd, &paint);
        zorkit::EndPaintOn(dc, hwnd, &paint);
        return 0;
    }
    case WM_NCPAINT:
        zorkit::DrawFrame(hwnd);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SETTEXT:
        s->text = reinterpret_cast<LPCTSTR>(lParam);
        if (!s->parent || (s->style & WS_CAPTION) == WS_CAPTION)
            s->frameDirty = true;
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam)
            return 0;
        auto* buffer = reinterpret_cast<char*>(lParam);
        int count = std::min<int>(s->text.GetLength(), int(wParam) - 1);
        std::memcpy(buffer, LPCTSTR(s->text), std::size_t(count));
        buffer[count] = '\0';
        return count;
    }
    case WM_GETTEXTLENGTH:
        return s->text.GetLength();
    case WM_SETREDRAW:
        s->redrawAllowed = wParam != 0;
        return 0;
    case WM_NCLBUTTONDOWN:
        if (wParam == WPARAM(HTVSCROLL) || wParam == WPARAM(HTHSCROLL)) {
            zorkit::Desktop::Instance().BeginTracking(zorkit::ScrollTracker::Begin(
                hwnd, wParam == WPARAM(HTVSCROLL) ? SB_VERT : SB_HORZ, zorkit::PointFromLParam(lParam)));
        }
        return 0;
    default:
        return 0;
    }
}
