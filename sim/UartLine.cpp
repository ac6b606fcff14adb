#include "sim/UartLine.h"

namespace zorkit::sim {
namespace {

// While nobody has the terminal open, how often the line looks for a host.
constexpr int kLookForHostMs = 50;

}

BOOL CUartLine::Start()
{
    if (!m_line.Open(CPseudoTerminal::SLAVE_BY_CLIENT))
        return FALSE;
    m_board.WithCore([this](C8051Core& core) { core.AttachSerialPeer(this); });
    m_thread = std::thread(&CUartLine::Run, this);
    return TRUE;
}

CUartLine::~CUartLine()
{
    m_board.WithCore([](C8051Core& core) { core.AttachSerialPeer(nullptr); });
    if (m_thread.joinable()) {
        m_stopRequested = true;
        m_line.Wake();
        m_thread.join();
    }
}

void CUartLine::Transmitted(BYTE data, bool)
{
    // A byte goes out on the board's time: one sent before the host opened the line
    // is lost then, not handed to a host that opens while the line thread is asleep.
    if (!m_line.HasClient())
        return;
    bool first;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        first = m_sent.empty();
        m_sent.push_back(data);
    }
    // One wake-up carries every byte sent until the line has taken them.
    if (first)
        m_line.Wake();
}

void CUartLine::Flush()
{
    std::vector<BYTE> sent;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        sent.swap(m_sent);
    }
    // The board never waits for the host: what does not fit now is lost.
    if (!sent.empty() && m_line.HasClient())
        m_line.Write(sent.data(), sent.size(), 0);
}

void CUartLine::Run()
{
    BYTE buffer[256];
    while (!m_stopRequested) {
        CPseudoTerminal::WaitResult result = m_line.WaitReadable(-1);
        if (result == CPseudoTerminal::WAIT_FAILED)
            break;
        if (result == CPseudoTerminal::WAIT_NO_CLIENT)
            m_line.WaitWoken(kLookForHostMs);
        for (long got; result == CPseudoTerminal::WAIT_READY && (got = m_line.Read(buffer, sizeof buffer)) > 0;)
            m_board.WithCore([&](C8051Core& core) {
                for (long i = 0; i < got; ++i)
                    core.ReceiveSerial(buffer[i]);
            });
        Flush();
    }
}

}
