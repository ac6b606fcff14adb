// Work handed to one thread by others: each job runs on the thread that made the
// queue, from that thread's message loop, in the order posted. Posting is safe from
// any thread; jobs still queued when the queue goes are dropped.
//
//   CJobQueue replies;                        // on the window's thread
//   replies.Post([&] { window.Show(view); }); // from the board's thread
#pragma once

#include <deque>
#include <functional>
#include <mutex>

#include "zorkit/platform/core/HostWindow.h"

namespace zorstudio {

class CJobQueue {
public:
    using Job = std::function<void()>;

    CJobQueue();
    CJobQueue(const CJobQueue&) = delete;
    CJobQueue& operator=(const CJobQueue&) = delete;

    void Post(Job job);
    // Runs the jobs waiting now; the message loop calls it through the queue's window.
    void RunPending();

private:
    std::mutex m_mutex;
    std::deque<Job> m_jobs;
    bool m_wakePosted = false;
    zorkit::CHostWindow m_sink;
};

}
