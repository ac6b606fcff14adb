#include "tools/zorstudio/ui/StudioRequests.h"

#include <utility>

#include "zorkit/platform/core/Gbk.h"

namespace zorstudio {

void CStudioRequests::Ask(std::function<bool(CDebugSession&)> job, std::function<void(bool, const std::string&)> done)
{
    ++m_waiting;
    m_board.Post([this, job = std::move(job), done = std::move(done)](CDebugSession& s) -> CBoardThread::Reply {
        const bool ok = job(s);
        return [this, ok, error = ok ? std::string() : s.LastError(), done] {
            --m_waiting;
            if (done)
                done(ok, error);
        };
    });
}

void CStudioRequests::Tell(const std::string& utf8) { m_status.SetPaneText(kMessagePane, zorkit::GbkFromUtf8(utf8)); }

bool CStudioRequests::Failed(const std::string& what)
{
    Tell(what);
    return false;
}

}
