#include "zorkit/platform/core/CancelToken.h"

#include <chrono>

namespace zorkit {
namespace {
thread_local CancelToken* t_current = nullptr;
}

void CancelToken::Cancel()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_cancelled.exchange(true, std::memory_order_acq_rel))
        return;
    m_wake.Signal();
    m_changed.notify_all();
    for (auto& wake : m_wakers)
        wake();
}

void CancelToken::WaitFor(DWORD milliseconds)
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait_for(hold, std::chrono::milliseconds(milliseconds), [this] { return IsCancelled(); });
    hold.unlock();
    ThrowIfCancelled();
}

CancelToken::Registration::Registration(CancelToken* token, std::function<void()> wake) : m_token(token)
{
    if (!m_token)
        return;
    std::lock_guard<std::mutex> hold(m_token->m_lock);
    m_entry = m_token->m_wakers.insert(m_token->m_wakers.end(), std::move(wake));
}

CancelToken::Registration::~Registration()
{
    if (!m_token)
        return;
    std::lock_guard<std::mutex> hold(m_token->m_lock);
    m_token->m_wakers.erase(m_entry);
}

CancelToken* CancelToken::Current() { return t_current; }

CancelToken::Scope::Scope(CancelToken* token) : m_previous(t_current) { t_current = token; }

CancelToken::Scope::~Scope() { t_current = m_previous; }

}
