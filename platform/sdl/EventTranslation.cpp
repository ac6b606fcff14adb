// Desktop events into the window system: the one place SDL events are interpreted.
#include "zorkit/platform/sdl/internal/ScreenBackend.h"

#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/WinUser.h"

namespace zorkit {
namespace {

UINT VirtualKeyFromSdl(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return UINT('A' + (key - SDLK_a));
    if (key >= SDLK_0 && key <= SDLK_9)
        return UINT('0' + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + UINT(key - SDLK_F1);
    switch (key) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    default: return 0;
    }
}

// A point of a desktop window in the window system's screen coordinates.
CPoint ScreenPoint(ScreenBackend& backend, Uint32 windowId, int x, int y)
{
    sdl::ScreenWindow* window = backend.FindById(windowId);
    CRect rect;
    if (window)
        ::GetWindowRect(window->Hwnd(), &rect);
    return CPoint(rect.left + x, rect.top + y);
}

MouseButton ButtonFromSdl(Uint8 button)
{
    return button == SDL_BUTTON_RIGHT ? MouseButton::Right : button == SDL_BUTTON_MIDDLE ? MouseButton::Middle
                                                                                         : MouseButton::Left;
}

bool ProcessWindowEvent(const SDL_WindowEvent& event, ScreenBackend& backend)
{
    sdl::ScreenWindow* window = backend.FindById(event.windowID);
    if (!window)
        return false;
    HWND hwnd = window->Hwnd();
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        return ::PostMessage(hwnd, WM_CLOSE, 0, 0) != FALSE;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        window->Resized(CSize(event.data1, event.data2));
        return ::SetWindowPos(hwnd, nullptr, 0, 0, event.data1, event.data2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
    case SDL_WINDOWEVENT_MOVED:
        window->Moved(CPoint(event.data1, event.data2));
        return ::SetWindowPos(hwnd, nullptr, event.data1, event.data2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        ::SetActiveWindow(hwnd);
        return true;
    case SDL_WINDOWEVENT_EXPOSED:
        return true;  // the next wait presents every window again
    default:
        return false;
    }
}

}

bool ProcessEvent(const SDL_Event& event, ScreenBackend& backend)
{
    if (backend.IsWakeEvent(event))
        return true;
    switch (event.type) {
    case SDL_WINDOWEVENT:
        return ProcessWindowEvent(event.window, backend);
    case SDL_MOUSEMOTION:
        return InjectInput({InputKind::MouseMove, ScreenPoint(backend, event.motion.windowID, event.motion.x, event.motion.y)});
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return InjectInput({event.type == SDL_MOUSEBUTTONDOWN ? InputKind::ButtonDown : InputKind::ButtonUp,
                            ScreenPoint(backend, event.button.windowID, event.button.x, event.button.y),
                            ButtonFromSdl(event.button.button)});
    case SDL_MOUSEWHEEL: {
        int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        CPoint pointer;
        ::GetCursorPos(&pointer);
        return notches && InjectInput({InputKind::Wheel, pointer, MouseButton::Left, notches * WHEEL_DELTA});
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        UINT vk = VirtualKeyFromSdl(event.key.keysym.sym);
        return vk && InjectInput({event.type == SDL_KEYDOWN ? InputKind::KeyDown : InputKind::KeyUp, CPoint(),
                                  MouseButton::Left, 0, vk});
    }
    case SDL_TEXTINPUT:
        return InjectText(event.text.text) != FALSE;
    default:
        return false;
    }
}

}
