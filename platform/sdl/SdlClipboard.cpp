#include "zorkit/platform/sdl/internal/SdlClipboard.h"

#include <SDL.h>

namespace zorkit::sdl {

std::optional<std::string> SdlClipboard::ReadUtf8()
{
    if (!SDL_HasClipboardText())
        return std::nullopt;
    char* text = SDL_GetClipboardText();
    if (!text)
        return std::nullopt;
    std::string copy(text);
    SDL_free(text);
    return copy;
}

void SdlClipboard::WriteUtf8(const std::string& text) { SDL_SetClipboardText(text.c_str()); }

}
