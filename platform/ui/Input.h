// Input injection: the one way mouse and keyboard events enter the window system,
// used by tests and by the on-screen backend alike. Each event becomes the messages a
// desktop would post: hit-testing, WM_SETCURSOR, mouse activation, capture, double
// clicks (by the class's CS_DBLCLKS and the double-click time), wheel to the focus
// window, key messages to the focus window, and the keyboard state behind GetKeyState.
// Messages are posted; the thread's pump delivers them (with pre-translation), so a
// burst of injected events reaches its windows as a fast script's would: every target
// chosen before any handler ran. DeliverInput gives events as a person does instead.
//
//   zorkit::InjectInput({zorkit::InputKind::ButtonDown, CPoint(120, 80)});
//   zorkit::InjectInput({zorkit::InputKind::ButtonUp, CPoint(120, 80)});
//   zorkit::InjectText("abc");
//   zorkit::PumpPendingMessages();
#pragma once

#include <string>

#include "zorkit/platform/core/Geometry.h"

namespace zorkit {

enum class InputKind { MouseMove, ButtonDown, ButtonUp, Wheel, KeyDown, KeyUp, Char };
enum class MouseButton { Left, Right, Middle };

struct InputEvent {
    InputKind kind;
    CPoint point;                          // screen coordinates, for mouse events
    MouseButton button = MouseButton::Left;
    int wheelDelta = 0;                    // WHEEL_DELTA per notch, positive away from the user
    UINT key = 0;                          // virtual key (KeyDown, KeyUp) or a GBK byte (Char)
    DWORD time = 0;                        // milliseconds (0: now); decides double clicks
};

// TRUE when a window was given a message for the event.
BOOL InjectInput(const InputEvent& event);
// Types UTF-8 text: one character event per GBK byte, to the focus window.
BOOL InjectText(const std::string& utf8);
// Gives one event as a person does: after every message already waiting was handled,
// to the window that has the focus or the pointer then; the messages the event causes
// are handled before it returns.
BOOL DeliverInput(const InputEvent& event);
// Types UTF-8 text a byte at a time, each delivered as DeliverInput does.
BOOL DeliverText(const std::string& utf8);
// Delivers every message waiting for the calling thread, paint and due timers included.
void PumpPendingMessages();

}
