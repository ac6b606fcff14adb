#include "sim/WireLog.h"

namespace zorkit::sim {

CWireLog::CWireLog(std::size_t capacity) : m_capacity(capacity) {}

CWireLog::Pass::Pass(CWireLog& log) : m_log(log), m_hold(log.m_lock) {}

CWireLog::Pass::~Pass()
{
    if (m_bytes.empty())
        return;
    for (const CWireByte& entry : m_bytes) {
        (entry.direction == WireDirection::Received ? m_log.m_received : m_log.m_sent) += 1;
        m_log.m_entries.push_back(entry);
    }
    while (m_log.m_entries.size() > m_log.m_capacity)
        m_log.m_entries.pop_front();
    std::function<void(const std::vector<CWireByte>&)> observer = m_log.m_observer;
    m_hold.unlock();
    m_log.m_changed.notify_all();
    if (observer)
        observer(m_bytes);
}

void CWireLog::SetObserver(std::function<void(const std::vector<CWireByte>&)> observer)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_observer = std::move(observer);
}

void CWireLog::Clear()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_entries.clear();
    m_received = 0;
    m_sent = 0;
}

std::vector<CWireByte> CWireLog::Entries() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return {m_entries.begin(), m_entries.end()};
}

std::vector<BYTE> CWireLog::Values(WireDirection direction) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<BYTE> values;
    for (const CWireByte& entry : m_entries)
        if (entry.direction == direction)
            values.push_back(entry.value);
    return values;
}

std::size_t CWireLog::ReceivedCount() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_received;
}

std::size_t CWireLog::SentCount() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_sent;
}

bool CWireLog::WaitCount(const std::size_t& counter, std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, timeout, [&] { return counter >= count; });
}

bool CWireLog::WaitReceived(std::size_t count, std::chrono::milliseconds timeout) const
{
    return WaitCount(m_received, count, timeout);
}

bool CWireLog::WaitSent(std::size_t count, std::chrono::milliseconds timeout) const
{
    return WaitCount(m_sent, count, timeout);
}

}
