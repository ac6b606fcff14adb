#include "tools/zorstudio/JobQueue.h"

namespace zorstudio {
namespace {
constexpr UINT kRunJobs = WM_USER + 0x120;
}

CJobQueue::CJobQueue()
    : m_sink([this](UINT message, WPARAM, LPARAM) {
          if (message == kRunJobs)
              RunPending();
          return LRESULT(0);
      })
{
}

void CJobQueue::Post(Job job)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.push_back(std::move(job));
    // One wake-up serves every job queued before it is handled.
    if (!m_wakePosted)
        m_wakePosted = PostMessage(m_sink.GetSafeHwnd(), kRunJobs, 0, 0);
}

void CJobQueue::RunPending()
{
    std::deque<Job> jobs;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        jobs.swap(m_jobs);
        m_wakePosted = false;
    }
    for (Job& job : jobs)
        job();
}

}
