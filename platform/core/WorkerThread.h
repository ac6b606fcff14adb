// The one worker slot of a link: at most one thread at a time, identified by a
// non-zero id that is in the slot before the thread runs. Routines end by clearing
// the slot themselves; Terminate() ends a routine at once by cancelling it (see
// CancelToken.h) and returns only when the thread has left the routine.
//
// Thread safety: Start, Terminate and the destructor are for the owner's thread;
// Id, IsRunning, IsCurrentThread and ClearSlot are safe from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "zorkit/platform/core/CancelToken.h"
#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

class CWorkerThread {
public:
    CWorkerThread() = default;
    ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Starts `routine` unless a worker runs; false when one runs or no thread could be made.
    bool Start(std::function<void()> routine);
    DWORD Id() const { return m_id.load(std::memory_order_acquire); }
    bool IsRunning() const { return Id() != 0; }
    bool HasHandle() const { return m_hasHandle.load(std::memory_order_acquire); }
    bool IsCurrentThread() const;
    // The routine's own last act: the slot is free for the next worker.
    void ClearSlot();
    // Cancels the running routine and waits until its thread has left it; the slot is
    // clear afterwards. Called on the worker itself it cannot wait for itself: it only
    // cancels, and the routine unwinds at its next cancellation point. Returns true when a worker was ended.
    bool Terminate();

private:
    void JoinFinished();

    std::atomic<DWORD> m_id{0};
    std::atomic<bool> m_hasHandle{false};
    std::thread m_thread;
    std::shared_ptr<CancelToken> m_token;
};

}
