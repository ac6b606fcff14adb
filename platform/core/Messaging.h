// The messaging core: window handles, one message queue per thread, posted and
// sent messages, and the pump. A handle belongs to the thread that registered it;
// its messages are handled on that thread only.
//
// SendMessage to a window of another thread blocks the sender until the owner
// thread has handled the message in its pump (GetMessage, PeekMessage,
// PumpMessagesUntil) or while it waits in a SendMessage of its own. On a worker
// thread the wait is a cancellation point (CancelToken.h): a cancelled sender stops
// waiting at once, even when the handler has already begun, so anything a message
// points to must not live on the worker's stack.
#pragma once

#include <functional>

#include "platform/core/Geometry.h"
#include "platform/core/WinTypes.h"

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

constexpr UINT WM_QUIT = 0x0012;
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

namespace zorkit {

// Whatever receives the messages of a handle (a window, a host's notification sink).
class IMessageTarget {
public:
    virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~IMessageTarget() = default;
};

// Registers `target` on the calling thread and returns its new handle.
HWND RegisterMessageTarget(IMessageTarget* target);
// Forgets the handle: later messages to it are dropped, sends to it return 0.
void UnregisterMessageTarget(HWND hwnd);
IMessageTarget* FindMessageTarget(HWND hwnd);

// Handles sent and posted messages of the calling thread until `done` returns true
// (checked after every message and at least every few milliseconds) or `timeoutMs`
// has passed. Returns the last value of `done`.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);

}

BOOL IsWindow(HWND hwnd);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Blocks until a posted message arrives; FALSE when it is WM_QUIT.
BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);
