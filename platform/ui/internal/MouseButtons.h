// The messages each mouse button sends, shared by the input that makes them and the
// key state that reads them back. Private to the platform layer.
#pragma once

#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/Messages.h"

namespace zorkit {

struct ButtonMessages {
    UINT vk, down, up, dblclk, ncDown, ncUp, ncDblclk;
};
// In the order of MouseButton: left, right, middle.
constexpr ButtonMessages kButtons[] = {
    {VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK},
    {VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_NCRBUTTONDOWN, WM_NCRBUTTONUP, WM_NCRBUTTONDBLCLK},
    {VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_NCMBUTTONDOWN, WM_NCMBUTTONUP, WM_NCMBUTTONDBLCLK},
};

}
