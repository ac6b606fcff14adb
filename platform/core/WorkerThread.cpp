#include "zorkit/platform/core/WorkerThread.h"

#include <system_error>

namespace zorkit {
namespace {
std::atomic<DWORD> g_nextId{1};
thread_local DWORD t_workerId = 0;

DWORD NewId()
{
    DWORD id;
    do
        id = g_nextId.fetch_add(1, std::memory_order_relaxed);
    while (id == 0);
    return id;
}
}

CWorkerThread::~CWorkerThread()
{
    Terminate();
    JoinFinished();
}

bool CWorkerThread::IsCurrentThread() const
{
    DWORD id = Id();
    return id != 0 && id == t_workerId;
}

void CWorkerThread::JoinFinished()
{
    if (!m_thread.joinable())
        return;
    if (m_thread.get_id() == std::this_thread::get_id())
        m_thread.detach();
    else
        m_thread.join();
}

bool CWorkerThread::Start(std::function<void()> routine)
{
    if (IsRunning())
        return false;
    // A routine that cleared its slot may still be returning: its thread ends at once.
    JoinFinished();
    auto token = std::make_shared<CancelToken>();
    DWORD id = NewId();
    m_id.store(id, std::memory_order_release);
    m_hasHandle.store(true, std::memory_order_release);
    m_token = token;
    try {
        m_thread = std::thread([token, id, routine = std::move(routine)] {
            t_workerId = id;
            CancelToken::Scope scope(token.get());
            try {
                routine();
            } catch (const ThreadCancelled&) {
                // Terminated: the routine's own ending is skipped on purpose.
            }
        });
    } catch (const std::system_error&) {
        m_id.store(0, std::memory_order_release);
        m_hasHandle.store(false, std::memory_order_release);
        m_token.reset();
        return false;
    }
    return true;
}

void CWorkerThread::ClearSlot()
{
    m_hasHandle.store(false, std::memory_order_release);
    m_id.store(0, std::memory_order_release);
}

bool CWorkerThread::Terminate()
{
    if (!IsRunning())
        return false;
    if (m_token)
        m_token->Cancel();
    if (IsCurrentThread())
        return false;
    JoinFinished();
    ClearSlot();
    m_token.reset();
    return true;
}

}
