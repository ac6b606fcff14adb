// Every byte the board received and sent, with the time it passed the line, for
// tests to assert the traffic and for the tool to trace it.
//
//   board.WireLog().WaitReceived(6, 2s);          // the host's frame is in
//   EXPECT_EQ(board.WireLog().Sent(), (std::vector<BYTE>{0xAA}));
//
// The board records each of its passes whole: readers wait while the board writes
// its answer, so a host that has read an answer finds the answer and the request it
// answered in the log, and a waiter that sees n bytes received also sees everything
// sent in reply to them.
// Thread safety: every call is safe from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

namespace zorkit::sim {

enum class WireDirection {
    Received,
    Sent,
};

struct CWireByte {
    WireDirection direction;
    BYTE value;
    std::chrono::steady_clock::time_point time;
};

class CWireLog {
public:
    // Keeps the last `capacity` bytes; the counts cover everything since Clear().
    explicit CWireLog(std::size_t capacity = std::size_t(1) << 16);

    // Readers wait from the pass's start until its bytes are recorded at its end.
    class Pass {
    public:
        explicit Pass(CWireLog& log);
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;
        void Add(const CWireByte& entry) { m_bytes.push_back(entry); }

    private:
        CWireLog& m_log;
        std::unique_lock<std::mutex> m_hold;
        std::vector<CWireByte> m_bytes;
    };

    // Called with every recorded pass, on the board's thread, outside the log's lock.
    void SetObserver(std::function<void(const std::vector<CWireByte>&)> observer);
    void Clear();

    std::vector<CWireByte> Entries() const;
    std::vector<BYTE> Received() const { return Values(WireDirection::Received); }
    std::vector<BYTE> Sent() const { return Values(WireDirection::Sent); }
    std::size_t ReceivedCount() const;
    std::size_t SentCount() const;

    // True once `count` bytes have been received (sent) since Clear(); false at the time-out.
    bool WaitReceived(std::size_t count, std::chrono::milliseconds timeout) const;
    bool WaitSent(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    std::vector<BYTE> Values(WireDirection direction) const;
    bool WaitCount(const std::size_t& counter, std::size_t count, std::chrono::milliseconds timeout) const;

    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    std::size_t m_capacity;
    std::deque<CWireByte> m_entries;
    std::size_t m_received = 0;
    std::size_t m_sent = 0;
    std::function<void(const std::vector<CWireByte>&)> m_observer;
};

}
