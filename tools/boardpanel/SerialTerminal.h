// A terminal on the program's own serial port (the 8051's UART, not the monitor's
// line): the bytes the program sends, as text or as hex, and what the user types,
// sent to the program's RXD a byte each. The window reads the port through a tap the
// board's thread fills, every kRefreshMs while visible.
//
//   CSerialTerminal terminal;
//   terminal.Create(parent, rect, id);
//   terminal.Attach(board);          // shared: the terminal keeps the board while attached
//   terminal.SetHex(true);
//
// Window-thread only, apart from the tap's Transmitted (the board's thread).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zorkit/platform/ui/Wnd.h"
#include "sim/VirtualBoard.h"
#include "sim/cpu/CoreIo.h"

namespace boardpanel {

// What the program transmits, kept until a window takes it.
class CSerialTap : public zorkit::sim::CSerialPeer {
public:
    void Transmitted(BYTE data, bool ninth) override;
    std::vector<BYTE> Take();

private:
    std::mutex m_lock;
    std::vector<BYTE> m_bytes;
};

class CSerialTerminal : public CWnd {
public:
    static constexpr UINT kRefreshMs = 20;
    // The most bytes shown; older ones scroll away.
    static constexpr std::size_t kKeptBytes = 4096;

    ~CSerialTerminal() override;

    BOOL Create(CWnd* parent, const CRect& rect, UINT id);
    // Listens to `board`'s 8051 serial port (null: to none, and says so).
    void Attach(std::shared_ptr<zorkit::sim::CVirtualBoard> board);
    void SetHex(bool hex);
    bool Hex() const { return m_hex; }
    // Takes what the program sent since the last look.
    void Refresh();
    const std::vector<BYTE>& Received() const { return m_received; }
    // The lines the terminal shows now, oldest first.
    std::vector<std::string> Lines() const;
    // Where the Text/Hex switch sits, in client coordinates.
    CRect ModeSwitch() const;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnTimer(UINT id);
    void OnChar(UINT key, UINT repeat, UINT flags);
    void OnLButtonDown(UINT flags, CPoint point);

private:
    void Detach();

    std::shared_ptr<zorkit::sim::CVirtualBoard> m_board;
    CSerialTap m_tap;
    std::vector<BYTE> m_received;
    bool m_hex = false;
};

}
