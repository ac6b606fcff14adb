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

#include "zorkit/platform/core/Geometry.h"
#include "zorkit/platform/core/WinTypes.h"

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

// Messages made on demand instead of queued: paint and timer messages. Asked when no
// posted message matches; it answers for the windows of the calling thread only.
class ISyntheticMessageSource {
public:
    // Fills `msg` with a made message that matches the filter; remove = false only peeks.
    virtual bool TakeSynthetic(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, bool remove) = 0;
    // Milliseconds until a made message may become ready (a timer), -1 for never.
    virtual long MillisecondsUntilNext() = 0;

protected:
    ~ISyntheticMessageSource() = default;
};

// Sets the calling thread's source (null removes it).
void SetSyntheticMessageSource(ISyntheticMessageSource* source);

// Runs before the pump dispatches a message of the calling thread; returns true when
// it consumed the message (the window system's pre-translation). Null removes it.
using MessageFilter = bool (*)(MSG* msg);
void SetMessageFilter(MessageFilter filter);

// Sees every posted message as it leaves a queue (GetMessage, or PeekMessage with
// PM_REMOVE), on the retrieving thread; the window system keeps the key state that
// GetKeyState reports with it. Process-wide; null removes it.
using RetrievalObserver = void (*)(const MSG& msg);
void SetMessageRetrievalObserver(RetrievalObserver observer);

// Handles sent and posted messages of the calling thread until `done` returns true
// (checked after every message and at least every few milliseconds) or `timeoutMs`
// has passed. Returns the last value of `done`.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Waits until `done` returns true (checked at least every millisecond) or
// `timeoutMs` has passed, handling only messages that other threads send to the
// calling thread meanwhile, as a thread blocked in SendMessage does. A thread that
// waits for a worker uses it so that a worker blocked in a notification can finish.
bool WaitHandlingSentMessages(const std::function<bool()>& done, DWORD timeoutMs);

// Blocks until a message is posted or sent to the calling thread, WM_QUIT is posted,
// or `timeoutMs` has passed (-1: no limit). Sent messages are handled meanwhile.
void WaitForMessages(long timeoutMs);

// Called from whichever thread posts or sends a message to the calling thread's
// queue (an on-screen backend wakes its event wait with it). Empty removes it.
void SetQueueWakeHook(std::function<void()> hook);

}

BOOL IsWindow(HWND hwnd);
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Blocks until a posted message arrives; FALSE when it is WM_QUIT.
BOOL GetMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);
