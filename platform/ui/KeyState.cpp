#include "platform/ui/KeyState.h"

#include <array>

#include "platform/ui/Keys.h"
#include "platform/ui/WinUser.h"

namespace {

struct KeyboardState {
    std::array<bool, 256> down{};
    std::array<bool, 256> toggled{};
};

KeyboardState& Keys()
{
    static KeyboardState keys;
    return keys;
}

// Generic modifier codes and the sided keys behind them.
struct Modifier {
    UINT generic, left, right;
};
constexpr Modifier kModifiers[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                   {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                   {VK_MENU, VK_LMENU, VK_RMENU}};

}

namespace zorkit {

void RecordKey(UINT virtualKey, bool down)
{
    KeyboardState& keys = Keys();
    virtualKey &= 0xFF;
    if (down && !keys.down[virtualKey])
        keys.toggled[virtualKey] = !keys.toggled[virtualKey];
    keys.down[virtualKey] = down;
    for (const Modifier& m : kModifiers) {
        if (virtualKey == m.left || virtualKey == m.right)
            keys.down[m.generic] = keys.down[m.left] || keys.down[m.right];
        if (virtualKey == m.generic) {
            keys.down[m.left] = down;
            keys.down[m.right] = false;
        }
    }
}

bool IsKeyDown(UINT virtualKey) { return Keys().down[virtualKey & 0xFF]; }

void ReleaseAllKeys() { Keys() = KeyboardState{}; }

}

short GetKeyState(int virtualKey)
{
    const KeyboardState& keys = Keys();
    UINT key = UINT(virtualKey) & 0xFF;
    return short((keys.down[key] ? 0x8000 : 0) | (keys.toggled[key] ? 1 : 0));
}

short GetAsyncKeyState(int virtualKey) { return short(Keys().down[UINT(virtualKey) & 0xFF] ? 0x8000 : 0); }
