#include "tools/zorstudio/BoardThread.h"

#include <tuple>

#include "zorkit/platform/core/Messaging.h"

namespace zorstudio {
namespace {

// How often the idle board thread looks at the session (a vanished adapter, the
// end of a control run).
constexpr long kPollMs = 50;

bool SameSnapshot(const CTargetSnapshot& a, const CTargetSnapshot& b)
{
    return std::tie(a.valid, a.registers, a.internalRam, a.externalAddress, a.external, a.pc) ==
           std::tie(b.valid, b.registers, b.internalRam, b.externalAddress, b.external, b.pc);
}

bool SameView(const CBoardView& a, const CBoardView& b)
{
    const auto prompt = [](const CBoardView& v) { return v.resetPrompt ? v.resetPrompt->gbk : std::string("-"); };
    return std::tie(a.state, a.line.device, a.line.baud, a.virtualBoard, a.memoryPending, a.breakpoints, a.codeGeneration, a.entry,
                    a.runStart, a.copyRun, a.copyRunStops, a.stopsHandled, a.experimentRunning) ==
               std::tie(b.state, b.line.device, b.line.baud, b.virtualBoard, b.memoryPending, b.breakpoints, b.codeGeneration, b.entry,
                        b.runStart, b.copyRun, b.copyRunStops, b.stopsHandled, b.experimentRunning) &&
           prompt(a) == prompt(b) && SameSnapshot(a.current, b.current) && a.source == b.source;
}

}

CBoardThread::CBoardThread()
{
    std::promise<void> ready;
    auto started = ready.get_future();
    m_thread = std::thread([this, &ready] { Loop(ready); });
    started.wait();
}

CBoardThread::~CBoardThread()
{
    // Set by a job, so that the queue outlives this call into it.
    m_requests->Post([this] { m_quit = true; });
    m_thread.join();
}

void CBoardThread::Post(Job job)
{
    m_requests->Post([this, job = std::move(job)] { Publish(true, job(*m_session)); });
}

void CBoardThread::Loop(std::promise<void>& ready)
{
    m_session = std::make_unique<CDebugSession>();
    m_requests = std::make_unique<CJobQueue>();
    // The registers of a stop are shown while its memory is still on the way.
    m_session->SetRegistersHandler([this](const CTargetSnapshot& registers) {
        CBoardView view = MakeView();
        CTargetSnapshot shown = m_session->Current();
        shown.valid = true;
        shown.registers = registers.registers;
        shown.pc = registers.pc;
        view.changes = CompareSnapshots(m_session->Current(), shown);
        view.current = std::move(shown);
        view.memoryPending = true;
        m_sent = view;
        ToOwner([this, view = std::move(view)] {
            m_view = view;
            if (onView)
                onView();
        });
    });
    ready.set_value();
    while (!m_quit) {
        zorkit::WaitForMessages(kPollMs);
        MSG msg;
        while (!m_quit && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
        if (m_quit)
            break;
        m_session->Poll();
        Publish(false);
    }
    m_session.reset();
    m_requests.reset();
}

CBoardView CBoardThread::MakeView() const
{
    const CDebugSession& s = *m_session;
    CBoardView view;
    view.state = s.State();
    view.resetPrompt = s.ResetPrompt();
    view.line = s.LineChoice();
    view.virtualBoard = s.SharedVirtualBoard();
    view.adapterGoneText = s.AdapterGoneText();
    view.current = s.Current();
    view.changes = s.Changes();
    view.breakpoints = s.Breakpoints();
    view.codeGeneration = s.CodeGeneration();
    // The code image is copied only when it changed.
    view.code = m_sent.codeGeneration == view.codeGeneration && m_sent.code ? m_sent.code
                                                                            : std::make_shared<CCodeImage>(s.Code());
    view.entry = s.Entry();
    view.runStart = s.RunStart();
    view.copyRun = s.IsCopyRun();
    view.copyRunStops = s.CopyRunStops();
    view.stopsHandled = s.StopsHandled();
    view.experimentRunning = s.IsExperimentRunning();
    view.source = s.SourceStop();
    return view;
}

void CBoardThread::Publish(bool always, Reply reply)
{
    CBoardView view = MakeView();
    const bool changed = !SameView(view, m_sent);
    if (!always && !changed)
        return;
    m_sent = view;
    ToOwner([this, view = std::move(view), changed, reply = std::move(reply)] {
        m_view = view;
        if (changed && onView)
            onView();
        if (reply)
            reply();
    });
}

}
