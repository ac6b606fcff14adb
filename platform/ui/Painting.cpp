// Invalidation, the paint cycle and scrolling of window pixels. A window keeps the
// bounds of its invalid area; painting a parent's area repaints the children over it.
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/ui/internal/NonClient.h"
#include "zorkit/platform/ui/WindowDCs.h"
#include "zorkit/platform/ui/internal/WindowState.h"

namespace {

zorkit::WindowState* State(HWND hwnd) { return zorkit::StateOf(hwnd); }

CRect ToChildClient(zorkit::WindowState* child, CRect r)
{
    CRect client = child->ClientInWindow();
    r.OffsetRect(-child->rect.left - client.left, -child->rect.top - client.top);
    return r;
}

}

BOOL InvalidateRect(HWND hwnd, LPCRECT rect, BOOL erase)
{
    zorkit::WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    if (!s->redrawAllowed)
        return TRUE;
    CRect client = s->ClientRect();
    CRect area = rect ? CRect(*rect) : client;
    if (!area.IntersectRect(&area, &client))
        return TRUE;
    s->update.UnionRect(&s->update, &area);
    if (erase)
        s->eraseOnPaint = true;
    for (auto* child : s->children) {
        CRect overlap;
        if (!(child->style & WS_VISIBLE) || !overlap.IntersectRect(&area, &child->rect))
            continue;
        child->frameDirty = true;
        CRect inChild = ToChildClient(child, overlap);
        InvalidateRect(child->hwnd, &inChild, TRUE);
    }
    return TRUE;
}

BOOL ValidateRect(HWND hwnd, LPCRECT rect)
{
    zorkit::WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    if (!rect) {
        s->update.SetRectEmpty();
        s->eraseOnPaint = false;
        return TRUE;
    }
    CRect& u = s->update;
    CRect v = *rect;
    // Only whole bands can come off a bounding rectangle.
    if (v.left <= u.left && v.right >= u.right) {
        if (v.top <= u.top && v.bottom >= u.bottom)
            u.SetRectEmpty();
        else if (v.top <= u.top && v.bottom > u.top)
            u.top = v.bottom;
        else if (v.bottom >= u.bottom && v.top < u.bottom)
            u.bottom = v.top;
    } else if (v.top <= u.top && v.bottom >= u.bottom) {
        if (v.left <= u.left && v.right > u.left)
            u.left = v.right;
        else if (v.right >= u.right && v.left < u.right)
            u.right = v.left;
    }
    if (u.IsRectEmpty()) {
        u.SetRectEmpty();
        s->eraseOnPaint = false;
    }
    return TRUE;
}

BOOL UpdateWindow(HWND hwnd)
{
    zorkit::WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    if (!s->IsVisible())
        return TRUE;
    if (!s->update.IsRectEmpty())
        ::SendMessage(hwnd, WM_PAINT, 0, 0);
    else if (s->frameDirty)
        zorkit::DrawFrame(hwnd);
    if (!(s = State(hwnd)))
        return TRUE;
    std::vector<HWND> children;
    for (auto* child : s->children)
        children.push_back(child->hwnd);
    for (HWND child : children)
        UpdateWindow(child);
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, LPCRECT rect, void*, UINT flags)
{
    zorkit::WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    if (flags & RDW_FRAME)
        s->frameDirty = true;
    if (flags & RDW_INVALIDATE)
        InvalidateRect(hwnd, rect, (flags & RDW_ERASE) != 0);
    if (flags & RDW_VALIDATE)
        ValidateRect(hwnd, rect);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        UpdateWindow(hwnd);
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL)
{
    zorkit::WindowState* s = State(hwnd);
    if (!s)
        return FALSE;
    if (rect)
        *rect = s->update;
    return !s->update.IsRectEmpty();
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, LPCRECT scroll, LPCRECT clip, void*, LPRECT update, UINT flags)
{
    zorkit::WindowState* s = State(hwnd);
    if (!s)
        return ERROR;
    CRect client = s->ClientRect();
    CRect area = scroll ? CRect(*scroll) : client;
    CRect limit = clip ? CRect(*clip) : client;
    limit.IntersectRect(&limit, &client);
    CRect uncovered;
    {
        CDC dc;
        zorkit::AttachWindowSurface(dc, hwnd, true, nullptr);
        dc.ScrollDC(dx, dy, &area, &limit, &uncovered);
    }
    // What was already invalid inside the area moves with the pixels.
    CRect moving;
    CRect within;
    within.IntersectRect(&area, &limit);
    if (moving.IntersectRect(&s->update, &within)) {
        moving.OffsetRect(dx, dy);
        moving.IntersectRect(&moving, &within);
        s->update.UnionRect(&s->update, &moving);
    }
    if (flags & SW_SCROLLCHILDREN) {
        for (auto* child : s->children) {
            CRect r = child->rect;
            if (scroll && !CRect().IntersectRect(&r, &area))
                continue;
            child->rect.OffsetRect(dx, dy);
        }
    }
    if (flags & SW_INVALIDATE)
        InvalidateRect(hwnd, &uncovered, (flags & SW_ERASE) != 0);
    if (update)
        *update = uncovered;
    return uncovered.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, LPCRECT scroll, LPCRECT clip)
{
    UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR;
}
