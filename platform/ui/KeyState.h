// The keyboard and mouse-button state behind GetKeyState and GetAsyncKeyState, kept
// by the input injection as it turns events into messages.
#pragma once

#include "platform/core/WinTypes.h"

namespace zorkit {

// Records a key (or mouse button, VK_LBUTTON ...) going down or up; the generic
// Shift, Ctrl and Alt codes follow their left and right keys.
void RecordKey(UINT virtualKey, bool down);
bool IsKeyDown(UINT virtualKey);
// Lets every key go (between tests, or when the desktop takes the keyboard away).
void ReleaseAllKeys();

}
