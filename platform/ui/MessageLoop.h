// The thread's message loop: pre-translation, translation and dispatch of every
// message until a condition holds. Modal dialogs and the on-screen host run it. While
// the queue is empty it waits in the installed event source (an on-screen backend that
// turns desktop events into input), otherwise in the message queue, never longer than
// the next timer.
//
//   bool closed = false;
//   zorkit::RunMessageLoop([&] { return closed; });
#pragma once

#include <functional>

namespace zorkit {

// Where a loop waits for the desktop's events.
class EventSource {
public:
    virtual ~EventSource() = default;
    // Waits up to timeoutMs (-1: no limit) for a desktop event or a message of the
    // thread (the source installs a queue wake hook), handling the events it gets.
    virtual void WaitForEvents(long timeoutMs) = 0;
};

// Installs the calling thread's event source (null: wait in the message queue only).
void SetEventSource(EventSource* source);
EventSource* GetEventSource();

// Handles messages until done() is true (TRUE) or WM_QUIT arrives (FALSE; the quit
// stays posted for outer loops).
bool RunMessageLoop(const std::function<bool()>& done);

}
