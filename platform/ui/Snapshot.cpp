#include "zorkit/platform/ui/Snapshot.h"

#include "zorkit/platform/ui/internal/WindowState.h"

namespace zorkit {

std::shared_ptr<Surface> CaptureWindow(HWND hwnd, bool clientOnly)
{
    WindowState* s = StateOf(hwnd);
    if (!s)
        return nullptr;
    CPoint origin = clientOnly ? s->ClientOriginOnSurface() : s->WindowOriginOnSurface();
    CSize size = clientOnly ? s->ClientRect().Size() : s->rect.Size();
    auto picture = Surface::Create(size.cx, size.cy);
    const std::shared_ptr<Surface>& source = s->TopLevel()->surface;
    if (!picture || !source)
        return picture;
    CRect visible = s->VisibleOnSurface(clientOnly);
    for (int y = visible.top; y < visible.bottom; ++y)
        for (int x = visible.left; x < visible.right; ++x)
            picture->Row(y - origin.y)[x - origin.x] = source->Row(y)[x];
    return picture;
}

BOOL WriteWindowPng(HWND hwnd, const char* path, bool clientOnly)
{
    auto picture = CaptureWindow(hwnd, clientOnly);
    return picture ? picture->WritePng(path) : FALSE;
}

}
