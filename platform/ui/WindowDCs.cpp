#include "zorkit/platform/ui/WindowDCs.h"

#include <map>

#include "zorkit/platform/ui/internal/NonClient.h"
#include "zorkit/platform/ui/internal/WindowState.h"

namespace {

std::map<HDC, CDC*>& Registry()
{
    static std::map<HDC, CDC*> registry;
    return registry;
}

}

namespace zorkit {

BOOL AttachWindowSurface(CDC& dc, HWND hwnd, bool client, const CRect* clip)
{
    WindowState* s = StateOf(hwnd);
    if (!s)
        return FALSE;
    CPoint origin = client ? s->ClientOriginOnSurface() : s->WindowOriginOnSurface();
    CRect visible = s->VisibleOnSurface(client);
    if (clip) {
        CRect narrowed = *clip;
        narrowed.OffsetRect(origin.x, origin.y);
        visible.IntersectRect(&visible, &narrowed);
    }
    return dc.AttachSurface(s->TopLevel()->surface, origin, visible);
}

CDC* DCFromHandle(HDC hdc)
{
    auto it = Registry().find(hdc);
    return it == Registry().end() ? nullptr : it->second;
}

void RegisterWindowDC(CDC* dc)
{
    if (dc->GetSafeHdc())
        Registry()[dc->GetSafeHdc()] = dc;
}

void UnregisterWindowDC(CDC* dc) { Registry().erase(dc->GetSafeHdc()); }

BOOL BeginPaintOn(CDC& dc, HWND hwnd, PAINTSTRUCT* paint)
{
    WindowState* s = StateOf(hwnd);
    *paint = PAINTSTRUCT{nullptr, FALSE, RECT{0, 0, 0, 0}};
    if (!s)
        return FALSE;
    if (s->frameDirty)
        DrawFrame(hwnd);
    CRect area = s->update;
    bool erase = s->eraseOnPaint;
    s->update.SetRectEmpty();
    s->eraseOnPaint = false;
    if (!AttachWindowSurface(dc, hwnd, true, &area))
        return FALSE;
    RegisterWindowDC(&dc);
    paint->hdc = dc.GetSafeHdc();
    paint->rcPaint = area;
    paint->fErase = erase && !::SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0);
    return TRUE;
}

void EndPaintOn(CDC& dc, HWND, PAINTSTRUCT*) { UnregisterWindowDC(&dc); }

CDC* BeginPaintDC(HWND hwnd, PAINTSTRUCT* paint)
{
    auto* dc = new CDC;
    if (!BeginPaintOn(*dc, hwnd, paint)) {
        delete dc;
        return nullptr;
    }
    return dc;
}

void EndPaintDC(HWND hwnd, PAINTSTRUCT* paint)
{
    CDC* dc = DCFromHandle(paint->hdc);
    if (!dc)
        return;
    EndPaintOn(*dc, hwnd, paint);
    delete dc;
}

CDC* GetWindowDCFor(HWND hwnd, bool client)
{
    auto* dc = new CDC;
    if (!AttachWindowSurface(*dc, hwnd, client, nullptr)) {
        delete dc;
        return nullptr;
    }
    RegisterWindowDC(dc);
    return dc;
}

int ReleaseWindowDC(CDC* dc)
{
    if (!dc || DCFromHandle(dc->GetSafeHdc()) != dc)
        return 0;
    UnregisterWindowDC(dc);
    delete dc;
    return 1;
}

}
