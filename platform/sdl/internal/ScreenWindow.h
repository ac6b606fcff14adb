// One desktop window showing one top-level window's surface through a streaming
// texture, with the caret drawn over it.
#pragma once

#include <memory>

#include "zorkit/platform/core/Geometry.h"
#include "zorkit/platform/sdl/internal/SdlHandles.h"

namespace zorkit {
class Surface;
}

namespace zorkit::sdl {

class ScreenWindow {
public:
    // Null when SDL cannot make the window.
    static std::unique_ptr<ScreenWindow> Create(HWND hwnd, const CRect& rect, const char* utf8Title, bool topmost);

    HWND Hwnd() const { return m_hwnd; }
    Uint32 Id() const { return SDL_GetWindowID(m_window.get()); }
    void SetTitle(const char* utf8Title);
    // Follows the window system's rectangle (screen coordinates); a maximised window
    // is left to the desktop, whose size comes back as a resize.
    void Place(const CRect& rect, bool maximised);
    // The desktop moved or resized the window itself.
    void Moved(CPoint topLeft) { m_placed.OffsetRect(topLeft.x - m_placed.left, topLeft.y - m_placed.top); }
    void Resized(CSize size) { m_placed.right = m_placed.left + size.cx; m_placed.bottom = m_placed.top + size.cy; }
    // Uploads the surface and shows it, with a caret rectangle (client coordinates
    // of this window's surface) when one is given.
    void Present(Surface& surface, const CRect* caret, bool grayCaret);
    // What the renderer shows, 0x00RRGGBB rows; null when it cannot be read.
    std::shared_ptr<Surface> ReadBack();

private:
    ScreenWindow(HWND hwnd, WindowPtr window, RendererPtr renderer);
    HWND m_hwnd;
    WindowPtr m_window;
    RendererPtr m_renderer;
    TexturePtr m_texture;
    CSize m_textureSize;
    CRect m_placed;
    bool m_maximised = false;
};

}
