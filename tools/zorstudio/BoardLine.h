// The line to a board for zorstudio: a real serial device, or the virtual
// experiment box started inside this process on a pseudo-terminal, and the link
// over it.
//
//   std::string error;
//   auto line = CBoardLine::Open({}, error);            // the virtual board
//   auto line = CBoardLine::Open({"/dev/ttyUSB0", 9600}, error);
//   line->Link().CheckConnect();
#pragma once

#include <memory>
#include <string>

#include "zorkit/link/ZORComm.h"
#include "sim/VirtualBoard.h"

namespace zorstudio {

struct CLineChoice {
    std::string device;   // empty: the virtual board
    int baud = 9600;      // one of CCommPort::kBaudRates

    bool IsVirtual() const { return device.empty(); }
};

// The index into CCommPort::kBaudRates, or -1 when the rate is not one of them.
int BaudIndex(int baud);

class CBoardLine {
public:
    // The port index the link opens; mapped to the chosen device in this process.
    static constexpr int kPort = 0;

    // The line open and the link constructed on it (not yet tested); null with
    // `error` set when the board cannot start or the device cannot be opened.
    static std::unique_ptr<CBoardLine> Open(const CLineChoice& choice, std::string& error);

    CZORComm& Link() { return *m_link; }
    // The in-process board, with the built-in board's devices; null on a real device.
    // Shared with the windows that show its devices, which may outlive the line.
    zorkit::sim::CVirtualBoard* VirtualBoard() { return m_board.get(); }
    const std::shared_ptr<zorkit::sim::CVirtualBoard>& SharedBoard() const { return m_board; }
    const CLineChoice& Choice() const { return m_choice; }

private:
    CBoardLine() = default;
    CLineChoice m_choice;
    std::shared_ptr<zorkit::sim::CVirtualBoard> m_board;
    // Declared after the board: the link closes before the board hangs up.
    std::unique_ptr<CZORComm> m_link;
};

}
