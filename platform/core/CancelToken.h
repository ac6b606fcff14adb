// Cooperative cancellation of a worker thread. Instead of killing a thread, the
// owner cancels its token; every blocking primitive the worker uses (Sleep, serial
// waits, SendMessage to another thread) is a cancellation point that throws
// ThreadCancelled, so the worker unwinds at once and does none of the work that
// normally ends its routine. CWorkerThread catches the exception at the thread's top.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>

#include "zorkit/platform/core/FileDescriptor.h"
#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

struct ThreadCancelled {};

class CancelToken {
public:
    CancelToken() = default;
    CancelToken(const CancelToken&) = delete;
    CancelToken& operator=(const CancelToken&) = delete;

    // Safe from any thread.
    void Cancel();
    bool IsCancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    void ThrowIfCancelled() const
    {
        if (IsCancelled())
            throw ThreadCancelled{};
    }
    // Readable once cancelled: add it to a poll() set to make that poll a cancellation point.
    int WakeFd() const { return m_wake.Fd(); }
    // Pauses up to `milliseconds`; throws ThreadCancelled when cancelled before or meanwhile.
    void WaitFor(DWORD milliseconds);

    // Calls `wake` on cancellation while the registration lives. The callback runs
    // under the token's lock: it must only notify, never register or cancel.
    class Registration {
    public:
        Registration(CancelToken* token, std::function<void()> wake);
        ~Registration();
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;

    private:
        CancelToken* m_token;
        std::list<std::function<void()>>::iterator m_entry;
    };

    // The token of the calling thread, null outside a worker.
    static CancelToken* Current();

    // Makes `token` the calling thread's token for the scope's lifetime.
    class Scope {
    public:
        explicit Scope(CancelToken* token);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        CancelToken* m_previous;
    };

private:
    std::atomic<bool> m_cancelled{false};
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::list<std::function<void()>> m_wakers;
    WakeEvent m_wake;
};

// Throws ThreadCancelled when the calling thread is a cancelled worker.
inline void CancellationPoint()
{
    if (CancelToken* token = CancelToken::Current())
        token->ThrowIfCancelled();
}

}
