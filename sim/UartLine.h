// The 8051's own serial port on a pseudo-terminal of its own, beside the monitor's
// line: what the program sends appears there, and what a host writes there goes
// down RXD. Time on the port is the board's: a byte takes its frame's bit times at
// the rate the program set (machine cycles), whatever the pace of the run, and the
// terminal's own speed setting is not looked at.
//
//   CUartLine uart(board);
//   if (!uart.Start()) { ... uart.LastError() ... }
//   std::cout << "uart: " << uart.SlavePath() << "\n";
//
// A line nobody listens to loses what the program sends, as a real port with nothing
// plugged in does; so do bytes the host leaves unread beyond the terminal's buffer.
// Bytes that reach RXD while the receiver is off are lost too (the core's rule).
//
// Thread safety: construction, Start and destruction belong to one thread. The line
// has a thread of its own; the board calls Transmitted on its thread.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "zorkit/platform/serial/PseudoTerminal.h"
#include "sim/VirtualBoard.h"

namespace zorkit::sim {

class CUartLine : public CSerialPeer {
public:
    explicit CUartLine(CVirtualBoard& board) : m_board(board) {}
    ~CUartLine() override;
    CUartLine(const CUartLine&) = delete;
    CUartLine& operator=(const CUartLine&) = delete;

    // Opens the terminal and puts it on the 8051's serial port; FALSE with LastError().
    BOOL Start();
    const std::string& SlavePath() const { return m_line.SlavePath(); }
    const std::string& LastError() const { return m_line.LastError(); }

    void Transmitted(BYTE data, bool ninth) override;

private:
    void Run();
    // Hands what the program sent to the host, or drops it when nobody listens.
    void Flush();

    CVirtualBoard& m_board;
    CPseudoTerminal m_line;
    std::mutex m_lock;
    std::vector<BYTE> m_sent;
    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
};

}
