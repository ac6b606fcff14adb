// zorsim --panel: the board's devices in a desktop window of their own while the
// board serves its line. The window runs on the calling (main) thread; signals are
// taken on another: SIGUSR1 presses the reset key, the others end zorsim as
// closing the window does.
#pragma once

#include <memory>

#include "zorkit/platform/process/SignalWaiter.h"
#include "sim/VirtualBoard.h"

namespace zorsim {

class CPanelScreen {
public:
    // Null when there is no display to show the panel on.
    static std::unique_ptr<CPanelScreen> Open();
    ~CPanelScreen();

    // Shows the panel of `board`'s devices until the window is closed or a signal
    // other than SIGUSR1 arrives; that signal's number (SIGTERM for the close box).
    int Run(const std::shared_ptr<zorkit::sim::CVirtualBoard>& board, const zorkit::sim::CBoardProfile& profile, zorkit::CSignalWaiter& signals);

private:
    struct CSession;
    explicit CPanelScreen(std::unique_ptr<CSession> session);
    std::unique_ptr<CSession> m_session;
};

}
