// The debugging session on a thread of its own, so that a window never waits for the
// board. For the library that thread is the host's: it makes the session (so the
// link, its acknowledgement window and its watcher's notifications belong to it) and
// runs its message loop. The thread that made the board thread sends it jobs and
// hears back through its own message loop: a copy of what the session shows after
// every job and whenever it changes, and the replies of the jobs, in that order.
//
//   CBoardThread board;                                  // on the window's thread
//   board.onView = [&] { window.Show(board.View()); };
//   board.Post([](CDebugSession& s) { bool ok = s.Connect(); return [ok] { ... }; });
//   bool opened = board.Call([](CDebugSession& s) { return s.Open({}); });
#pragma once

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "tools/zorstudio/DebugSession.h"
#include "tools/zorstudio/JobQueue.h"

namespace zorstudio {

// What a window shows of the session, as the board thread last saw it.
struct CBoardView {
    LinkState state = LinkState::Closed;
    std::optional<CResetPrompt> resetPrompt;
    CLineChoice line;
    // The in-process board whose devices a panel shows; null on a real board.
    std::shared_ptr<zorkit::sim::CVirtualBoard> virtualBoard;
    std::string adapterGoneText;
    CTargetSnapshot current;
    CSnapshotChanges changes;
    // The registers of a reading have come, its memory not yet.
    bool memoryPending = false;
    std::set<WORD> breakpoints;
    std::shared_ptr<const CCodeImage> code = std::make_shared<CCodeImage>();
    int codeGeneration = 0;
    std::optional<WORD> entry;
    std::optional<WORD> runStart;
    bool copyRun = false;
    int copyRunStops = 0;
    int stopsHandled = 0;
    bool experimentRunning = false;
    // A C program's call stack and watches at the stop; null for assembly.
    std::shared_ptr<const CSourceStop> source;

    bool IsBreakpoint(WORD address) const { return breakpoints.count(address) != 0; }
};

class CBoardThread {
public:
    // A job's reply, run on the thread that made the board thread; may be empty.
    using Reply = std::function<void()>;
    using Job = std::function<Reply(CDebugSession&)>;

    CBoardThread();
    // Closes the session on its thread and ends the thread; replies not yet run are dropped.
    ~CBoardThread();
    CBoardThread(const CBoardThread&) = delete;
    CBoardThread& operator=(const CBoardThread&) = delete;

    // Runs job on the board thread; its reply follows the view published after it.
    void Post(Job job);
    // Runs f on the board thread and waits for its result: for set-up and tests,
    // never from a window that must keep answering.
    template <class F>
    auto Call(F f) -> decltype(f(std::declval<CDebugSession&>()))
    {
        using Result = decltype(f(std::declval<CDebugSession&>()));
        std::promise<Result> done;
        auto result = done.get_future();
        m_requests->Post([&] {
            Result value = f(*m_session);
            // The view goes out before the caller goes on, so that its next pump shows it.
            Publish(false);
            done.set_value(std::move(value));
        });
        return result.get();
    }
    // From the board thread: runs job on the thread that made the board thread.
    void ToOwner(std::function<void()> job) { m_replies.Post(std::move(job)); }

    // The view last received; the owner thread's copy.
    const CBoardView& View() const { return m_view; }
    // Told on the owner thread after View() changed.
    std::function<void()> onView;

private:
    void Loop(std::promise<void>& ready);
    // Sends the owner a new view when it differs from the last one sent (or always).
    void Publish(bool always, Reply reply = {});
    CBoardView MakeView() const;

    CJobQueue m_replies;
    CBoardView m_view;
    // The board thread's own.
    std::unique_ptr<CDebugSession> m_session;
    std::unique_ptr<CJobQueue> m_requests;
    CBoardView m_sent;
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

}
