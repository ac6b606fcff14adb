#include "sim/VirtualBoard.h"

#include "sim/cpu/InstructionText.h"

namespace zorkit::sim {
namespace {

using Clock = std::chrono::steady_clock;

// A real UART sends whether or not anybody listens; a client that does not read
// for this long loses what did not fit into the terminal's buffer.
constexpr int kWriteTimeoutMs = 1000;

}

BOOL CVirtualBoard::Start()
{
    Stop();
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_line.Open()) {
        m_error = m_line.LastError();
        m_errorNumber = m_line.LastErrorNumber();
        return FALSE;
    }
    m_slavePath = m_line.SlavePath();
    m_error.clear();
    m_errorNumber = 0;
    m_stopRequested = false;
    m_hungUp = false;
    m_thread = std::thread(&CVirtualBoard::Run, this);
    return TRUE;
}

void CVirtualBoard::Stop()
{
    Shutdown();
}

void CVirtualBoard::HangUp()
{
    Shutdown();
    m_hungUp = true;
}

void CVirtualBoard::Shutdown()
{
    if (m_thread.joinable()) {
        m_stopRequested = true;
        m_line.Wake();
        m_thread.join();
    }
    std::lock_guard<std::mutex> hold(m_lock);
    m_line.HangUp();
    m_slavePath.clear();
    // What was held back for the old line never reaches a new one.
    m_held.clear();
    m_heldUntil.reset();
}

BOOL CVirtualBoard::IsRunning() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return !m_slavePath.empty();
}

std::string CVirtualBoard::SlavePath() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_slavePath;
}

std::string CVirtualBoard::LastError() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_error;
}

int CVirtualBoard::LastErrorNumber() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_errorNumber;
}

void CVirtualBoard::Run()
{
    while (!m_stopRequested) {
        CPseudoTerminal::WaitResult result = m_line.WaitReadable(MillisecondsToDeadline());
        if (result == CPseudoTerminal::WAIT_FAILED)
            break;
        Serve(result);
    }
}

int CVirtualBoard::MillisecondsToDeadline() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    std::optional<Clock::time_point> deadline = m_experiment ? m_experiment->NextDeadline() : m_monitor.NextDeadline();
    // A silent board's monitor stands still; its deadlines wait for it to speak again.
    if (m_silent)
        deadline.reset();
    if (m_heldUntil && (!deadline || *m_heldUntil < *deadline))
        deadline = m_heldUntil;
    if (!deadline)
        return -1;
    // Rounded up, so the board never wakes a little early and waits again at once.
    auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

void CVirtualBoard::Serve(CPseudoTerminal::WaitResult woken)
{
    CWireLog::Pass pass(m_wireLog);
    CMonitor::Output out;
    BYTE buffer[512];
    {
        std::lock_guard<std::mutex> hold(m_lock);
        bool silent = m_silent;
        bool reset = m_resetRequested.exchange(false);
        Clock::time_point now = Clock::now();
        if (!silent && m_experiment)
            m_experiment->Tick(now, out);
        else if (!silent)
            m_monitor.Tick(now, out);
        long got = 0;
        while ((woken == CPseudoTerminal::WAIT_READY || reset) && (got = m_line.Read(buffer, sizeof buffer)) > 0) {
            now = Clock::now();
            for (long i = 0; i < got; ++i) {
                pass.Add({WireDirection::Received, buffer[i], now});
                if (!silent && m_experiment)
                    m_experiment->Receive(buffer[i], now, out);
                else if (!silent)
                    m_monitor.Receive(buffer[i], now, out);
            }
        }
        // Bytes that reached the board before the key was pressed belong to the time
        // before the reset: they are taken first, so no answer of the host's to an
        // earlier block passes for its answer to the banner.
        if (reset && !silent) {
            // A reset board never finishes the answer it was holding back.
            out.clear();
            m_held.clear();
            m_heldUntil.reset();
            m_experiment.reset();
            m_monitor.PressReset(out);
        }
        HoldBack(out);
        if (m_devices && m_deviceWatcher)
            m_devices->Act(m_deviceWatcher);
    }
    if (!out.empty()) {
        std::size_t sent = m_line.Write(out.data(), out.size(), kWriteTimeoutMs);
        Clock::time_point now = Clock::now();
        for (std::size_t i = 0; i < sent; ++i)
            pass.Add({WireDirection::Sent, out[i], now});
    }
    m_served.notify_all();
}

void CVirtualBoard::HoldBack(CMonitor::Output& out)
{
    Clock::time_point now = Clock::now();
    if (!out.empty() && m_answerDelay) {
        m_heldUntil = now + *m_answerDelay;
        m_answerDelay.reset();
    }
    if (!m_heldUntil)
        return;
    m_held.insert(m_held.end(), out.begin(), out.end());
    out.clear();
    if (now < *m_heldUntil)
        return;
    out.swap(m_held);
    m_heldUntil.reset();
}

void CVirtualBoard::SetCpuType(CpuType cpu)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_monitor.Memory().SetCpu(cpu);
}

CpuType CVirtualBoard::GetCpuType() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_monitor.Memory().Cpu();
}

void CVirtualBoard::SetTimings(const CMonitorTimings& timings)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_monitor.SetTimings(timings);
    }
    // A deadline the board is waiting for may have moved.
    m_line.Wake();
}

CMonitorTimings CVirtualBoard::GetTimings() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_monitor.Timings();
}

void CVirtualBoard::PressReset()
{
    m_resetRequested = true;
    m_line.Wake();
}

BoardMode CVirtualBoard::Mode() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_monitor.Mode();
}

bool CVirtualBoard::WaitMode(BoardMode mode, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> hold(m_lock);
    return m_served.wait_for(hold, timeout, [&] { return m_monitor.Mode() == mode; });
}

std::vector<BYTE> CVirtualBoard::ReadMemory(MemorySpace space, WORD address, std::size_t n) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_monitor.Memory().Read(space, address, n);
}

void CVirtualBoard::WriteMemory(MemorySpace space, WORD address, const std::vector<BYTE>& data)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_monitor.Memory().Write(space, address, data.data(), data.size());
}

std::vector<BYTE> CVirtualBoard::Registers() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_monitor.Registers();
}

void CVirtualBoard::SetRegisters(const std::vector<BYTE>& image)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_monitor.SetRegisters(image.data(), image.size());
}

void CVirtualBoard::SetPortObserver(std::function<void(int, BYTE)> observer)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_monitor.Core().SetPortObserver(std::move(observer));
}

void CVirtualBoard::WithCore(const std::function<void(C8051Core&)>& action)
{
    std::lock_guard<std::mutex> hold(m_lock);
    action(m_monitor.Core());
}

void CVirtualBoard::AttachDevices(const CBoardProfile* profile)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_devices.reset();
    if (profile)
        m_devices = std::make_unique<CCoreDevices>(m_monitor.Core(), *profile);
}

bool CVirtualBoard::WithDevices(const std::function<void(CDeviceBoard&)>& action)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_devices)
        return false;
    m_devices->Act(action);
    // A board standing still takes no turns: the watcher hears of outside inputs here.
    if (m_deviceWatcher)
        m_devices->Act(m_deviceWatcher);
    return true;
}

void CVirtualBoard::SetDeviceWatcher(std::function<void(CDeviceBoard&)> watcher)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_deviceWatcher = std::move(watcher);
}

void CVirtualBoard::SetInstructionTrace(std::function<void(const std::string&)> observer)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!observer) {
        m_monitor.Core().SetTraceObserver(nullptr);
        return;
    }
    const BYTE* code = m_monitor.Memory().Bytes(MemorySpace::Code);
    m_monitor.Core().SetTraceObserver([code, observer](WORD pc) { observer(InstructionText(code, pc)); });
}

std::set<WORD> CVirtualBoard::Breakpoints() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_monitor.Breakpoints();
}

WORD CVirtualBoard::ProgramCounter() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_monitor.ProgramCounter();
}

void CVirtualBoard::InjectFault(Fault fault)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_monitor.Faults().Inject(fault);
}

void CVirtualBoard::ClearFaults()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_monitor.Faults().Clear();
}

std::size_t CVirtualBoard::ArmedFaults(Fault fault) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_monitor.Faults().Armed(fault);
}

void CVirtualBoard::InjectWrongAck(BYTE b)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_monitor.Faults().SetWrongByte(b);
    m_monitor.Faults().Inject(Fault::WrongAck);
}

void CVirtualBoard::SetSilent(bool silent)
{
    m_silent = silent;
    m_line.Wake();
}

void CVirtualBoard::DelayNextAnswer(std::chrono::milliseconds delay)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_answerDelay = delay;
}

void CVirtualBoard::StartExperiment(const CExperimentSettings& settings)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_experiment.emplace(settings, Clock::now());
    }
    // The board thread waits for the monitor's deadline; the first sample has its own.
    m_line.Wake();
}

void CVirtualBoard::StopExperiment()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_experiment.reset();
    }
    m_line.Wake();
}

std::optional<CExperimentState> CVirtualBoard::Experiment() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_experiment)
        return std::nullopt;
    return m_experiment->State();
}

}
