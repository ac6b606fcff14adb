// Owners for SDL's handles.
#pragma once

#include <memory>

#include <SDL.h>

namespace zorkit::sdl {

struct WindowReleaser {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct RendererReleaser {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct TextureReleaser {
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct CursorReleaser {
    void operator()(SDL_Cursor* c) const { SDL_FreeCursor(c); }
};

using WindowPtr = std::unique_ptr<SDL_Window, WindowReleaser>;
using RendererPtr = std::unique_ptr<SDL_Renderer, RendererReleaser>;
using TexturePtr = std::unique_ptr<SDL_Texture, TextureReleaser>;
using CursorPtr = std::unique_ptr<SDL_Cursor, CursorReleaser>;

}
