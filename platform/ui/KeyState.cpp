#include "zorkit/platform/ui/internal/KeyState.h"

#include <array>

#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/internal/MouseButtons.h"
#include "zorkit/platform/ui/WinUser.h"

namespace {

struct KeyboardState {
    std::array<bool, 256> down{};
    std::array<bool, 256> toggled{};

    // Generic modifier codes and the sided keys behind them.
    struct Modifier {
        UINT generic, left, right;
    };
    static constexpr Modifier kModifiers[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                              {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                              {VK_MENU, VK_LMENU, VK_RMENU}};

    void Record(UINT virtualKey, bool isDown)
    {
        virtualKey &= 0xFF;
        if (isDown && !down[virtualKey])
            toggled[virtualKey] = !toggled[virtualKey];
        down[virtualKey] = isDown;
        for (const Modifier& m : kModifiers) {
            if (virtualKey == m.left || virtualKey == m.right)
                down[m.generic] = down[m.left] || down[m.right];
            if (virtualKey == m.generic) {
                down[m.left] = isDown;
                down[m.right] = false;
            }
        }
    }

    short Report(int virtualKey) const
    {
        UINT key = UINT(virtualKey) & 0xFF;
        return short((down[key] ? 0x8000 : 0) | (toggled[key] ? 1 : 0));
    }
};

KeyboardState& Now()
{
    static KeyboardState keys;
    return keys;
}

KeyboardState& AsHandled()
{
    static KeyboardState keys;
    return keys;
}

// The key or button change a posted input message carries, if any.
bool CarriedKey(const MSG& msg, UINT& key, bool& down)
{
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        key = UINT(msg.wParam);
        down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
        return true;
    }
    for (const zorkit::ButtonMessages& button : zorkit::kButtons) {
        for (UINT pressed : {button.down, button.dblclk, button.ncDown, button.ncDblclk})
            if (msg.message == pressed) {
                key = button.vk;
                down = true;
                return true;
            }
        if (msg.message == button.up || msg.message == button.ncUp) {
            key = button.vk;
            down = false;
            return true;
        }
    }
    return false;
}

void OnRetrieved(const MSG& msg)
{
    UINT key;
    bool down;
    if (CarriedKey(msg, key, down))
        AsHandled().Record(key, down);
}

// Installed with the window system's library, before any message can be taken.
const bool g_observing = (zorkit::SetMessageRetrievalObserver(&OnRetrieved), true);

}

namespace zorkit {

void RecordKey(UINT virtualKey, bool down) { Now().Record(virtualKey, down); }

void SettleKey(UINT virtualKey, bool down) { AsHandled().Record(virtualKey, down); }

bool IsKeyDown(UINT virtualKey) { return Now().down[virtualKey & 0xFF]; }

void ReleaseAllKeys()
{
    Now() = KeyboardState{};
    AsHandled() = KeyboardState{};
}

}

short GetKeyState(int virtualKey) { return AsHandled().Report(virtualKey); }

short GetAsyncKeyState(int virtualKey) { return short(Now().down[UINT(virtualKey) & 0xFF] ? 0x8000 : 0); }
