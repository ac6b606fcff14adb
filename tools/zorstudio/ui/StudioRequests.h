// How the window's parts ask the board for work and answer the student: a job goes
// to the board's thread, its answer comes back on the window's thread, and the
// message line of the status bar says what came of it. It counts the jobs still
// waiting for their answers.
//
//   requests.Ask([](CDebugSession& s) { return s.Connect(); },
//                [&](bool ok, const std::string& error) { ok ? requests.Tell(Tr("connected")) : void(requests.Failed(error)); });
#pragma once

#include <functional>
#include <string>

#include "tools/zorstudio/BoardThread.h"
#include "tools/zorstudio/ui/StatusBar.h"

namespace zorstudio {

class CStudioRequests {
public:
    static constexpr int kMessagePane = 0;

    // Both outlive this object's jobs: the board thread drops the answers as it ends.
    CStudioRequests(CBoardThread& board, CStatusBar& status) : m_board(board), m_status(status) {}
    CStudioRequests(const CStudioRequests&) = delete;
    CStudioRequests& operator=(const CStudioRequests&) = delete;

    // Sends job to the board thread; done hears of its result and error on this thread.
    void Ask(std::function<bool(CDebugSession&)> job, std::function<void(bool, const std::string&)> done);
    // No job sent is waiting for its answer.
    bool Idle() const { return m_waiting == 0; }
    // What the board thread last showed of the session.
    const CBoardView& View() const { return m_board.View(); }

    // Shows a message (UTF-8) on the message line.
    void Tell(const std::string& utf8);
    // Tells what failed; false, for the command to return.
    bool Failed(const std::string& what);

private:
    CBoardThread& m_board;
    CStatusBar& m_status;
    int m_waiting = 0;
};

}
