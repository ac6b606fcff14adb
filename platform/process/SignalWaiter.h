// Takes asynchronous signals as events on one thread, so a tool can block until it
// is told to stop (SIGINT, SIGTERM) or to act (SIGUSR1) without signal handlers.
//
//   zorkit::CSignalWaiter signals{SIGINT, SIGTERM, SIGUSR1};   // first thing in main()
//   ... start threads ...
//   while (signals.Wait() == SIGUSR1) board.PressReset();
//
// Construct it before any other thread starts: the signals are blocked in the
// calling thread and in every thread it starts later, so only Wait() takes them.
#pragma once

#include <initializer_list>
#include <memory>

namespace zorkit {

class CSignalWaiter {
public:
    explicit CSignalWaiter(std::initializer_list<int> signals);
    ~CSignalWaiter();
    CSignalWaiter(const CSignalWaiter&) = delete;
    CSignalWaiter& operator=(const CSignalWaiter&) = delete;

    // Blocks until one of the signals arrives; returns its number (-1 on failure).
    int Wait();
    // Sends a signal to this process, e.g. to end Wait() from another thread.
    static void Raise(int signal);

private:
    struct Masks;
    std::unique_ptr<Masks> m_masks;
};

}
