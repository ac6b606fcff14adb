#include "zorkit/platform/sdl/internal/ScreenWindow.h"

#include <cstring>

#include "zorkit/platform/gdi/Surface.h"

namespace zorkit::sdl {

std::unique_ptr<ScreenWindow> ScreenWindow::Create(HWND hwnd, const CRect& rect, const char* utf8Title, bool topmost)
{
    Uint32 flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | (topmost ? SDL_WINDOW_ALWAYS_ON_TOP : 0);
    WindowPtr window(SDL_CreateWindow(utf8Title, rect.left, rect.top, std::max(1, int(rect.Width())),
                                      std::max(1, int(rect.Height())), flags));
    if (!window)
        return nullptr;
    // Software rendering: the pixels on screen are the surface's pixels, exactly.
    RendererPtr renderer(SDL_CreateRenderer(window.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!renderer)
        return nullptr;
    std::unique_ptr<ScreenWindow> made(new ScreenWindow(hwnd, std::move(window), std::move(renderer)));
    made->m_placed = rect;
    return made;
}

ScreenWindow::ScreenWindow(HWND hwnd, WindowPtr window, RendererPtr renderer)
    : m_hwnd(hwnd), m_window(std::move(window)), m_renderer(std::move(renderer))
{
}

void ScreenWindow::SetTitle(const char* utf8Title) { SDL_SetWindowTitle(m_window.get(), utf8Title); }

void ScreenWindow::Place(const CRect& rect, bool maximised)
{
    if (maximised != m_maximised) {
        m_maximised = maximised;
        if (maximised) {
            // The work area at once, as the window system laid it out; a window manager
            // that maximises it then reports the size it gave.
            SDL_SetWindowPosition(m_window.get(), rect.left, rect.top);
            SDL_SetWindowSize(m_window.get(), std::max(1, int(rect.Width())), std::max(1, int(rect.Height())));
            SDL_MaximizeWindow(m_window.get());
        } else {
            SDL_RestoreWindow(m_window.get());
        }
        m_placed = rect;
        return;
    }
    if (rect == m_placed || maximised)
        return;
    if (rect.TopLeft() != m_placed.TopLeft())
        SDL_SetWindowPosition(m_window.get(), rect.left, rect.top);
    if (rect.Size() != m_placed.Size())
        SDL_SetWindowSize(m_window.get(), std::max(1, int(rect.Width())), std::max(1, int(rect.Height())));
    m_placed = rect;
}

void ScreenWindow::Present(Surface& surface, const CRect* caret, bool grayCaret)
{
    CSize size(surface.Width(), surface.Height());
    if (!m_texture || size != m_textureSize) {
        m_texture.reset(SDL_CreateTexture(m_renderer.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                          size.cx, size.cy));
        m_textureSize = size;
        if (!m_texture)
            return;
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(m_texture.get(), nullptr, &pixels, &pitch) != 0)
        return;
    for (int y = 0; y < size.cy; ++y)
        std::memcpy(static_cast<char*>(pixels) + std::ptrdiff_t(y) * pitch, surface.Row(y),
                    std::size_t(size.cx) * 4);
    SDL_UnlockTexture(m_texture.get());
    SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, nullptr);
    if (caret) {
        SDL_Rect box{caret->left, caret->top, caret->Width(), caret->Height()};
        Uint8 level = grayCaret ? 128 : 0;
        SDL_SetRenderDrawColor(m_renderer.get(), level, level, level, 255);
        SDL_RenderFillRect(m_renderer.get(), &box);
    }
    SDL_RenderPresent(m_renderer.get());
}

std::shared_ptr<Surface> ScreenWindow::ReadBack()
{
    int width = 0, height = 0;
    if (SDL_GetRendererOutputSize(m_renderer.get(), &width, &height) != 0)
        return nullptr;
    auto surface = Surface::Create(width, height);
    if (!surface)
        return nullptr;
    if (SDL_RenderReadPixels(m_renderer.get(), nullptr, SDL_PIXELFORMAT_RGB888, surface->Pixels(), width * 4) != 0)
        return nullptr;
    return surface;
}

}
