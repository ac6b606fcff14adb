// The keyboard and mouse-button state. The input injection records each change as it
// happens (GetAsyncKeyState); GetKeyState follows the messages instead: a change
// counts once the message carrying it leaves the queue, so a handler sees the
// modifiers as they were when its key or click happened, however far input ran ahead.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

// Records a key (or mouse button, VK_LBUTTON ...) going down or up now; the generic
// Shift, Ctrl and Alt codes follow their left and right keys.
void RecordKey(UINT virtualKey, bool down);
// The change reached the handlers' side without a message to carry it (no window
// took it), so GetKeyState takes it at once.
void SettleKey(UINT virtualKey, bool down);
// The state as of now (not as of the message being handled).
bool IsKeyDown(UINT virtualKey);
// Lets every key go (between tests, or when the desktop takes the keyboard away).
void ReleaseAllKeys();

}
