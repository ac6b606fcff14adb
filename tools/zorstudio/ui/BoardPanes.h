// The board's own panes among the debugger views (the Device and Terminal tabs): the
// virtual board's devices and its program's serial port. They follow the board the
// session uses; on a real board the device pane says the box is on the desk rather
// than showing stale devices.
#pragma once

#include <memory>

#include "tools/boardpanel/BoardPanel.h"
#include "tools/boardpanel/SerialTerminal.h"
#include "tools/zorstudio/BoardThread.h"
#include "tools/zorstudio/Translation.h"

namespace zorstudio {

class CBoardPanes {
public:
    // Translated when shown.
    static constexpr const char* kRealBoardText =
        N_("A real experiment box is on the line: its LEDs, displays and keys are in front of you.");

    BOOL Create(CWnd* parent, UINT panelId, UINT terminalId);
    // Shows the devices and serial port of the view's board (the session's thread
    // published it), or the real board's text.
    void Follow(const CBoardView& view);

    boardpanel::CBoardPanel& Panel() { return m_panel; }
    boardpanel::CSerialTerminal& Terminal() { return m_terminal; }

private:
    boardpanel::CBoardPanel m_panel;
    boardpanel::CSerialTerminal m_terminal;
    std::shared_ptr<zorkit::sim::CVirtualBoard> m_shown;
    bool m_following = false;
};

}
