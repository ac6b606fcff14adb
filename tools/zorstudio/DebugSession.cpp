#include "tools/zorstudio/DebugSession.h"

#include <algorithm>
#include <cstdio>

#include "tools/common/ControlSample.h"
#include "tools/common/LinkFailure.h"
#include "tools/common/Numbers.h"
#include "tools/common/ProgramDownload.h"
#include "tools/zorstudio/CommLogText.h"
#include "tools/zorstudio/Translation.h"
#include "zorkit/module/ResourceIds.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/serial/PortTable.h"

namespace zorstudio {
namespace {

// Uploads carry at most 255 bytes; the internal RAM comes in two halves.
constexpr int kUploadChunk = 128;
// Posted to the session itself after a stop report.
constexpr UINT kPollMessage = WM_USER + 0x100;
// The most a program-image frame carries.
constexpr std::size_t kDownloadFrame = 64;

zorkit::sim::PlantKind PlantOf(ExperimentKind kind)
{
    switch (kind) {
    case ExperimentKind::Speed: return zorkit::sim::PlantKind::Motor;
    case ExperimentKind::Stepper: return zorkit::sim::PlantKind::Stepper;
    default: return zorkit::sim::PlantKind::Heater;
    }
}

}

const char* LinkStateName(LinkState state)
{
    switch (state) {
    case LinkState::Closed: return N_("closed");
    case LinkState::Unconnected: return N_("unconnected");
    case LinkState::Connected: return N_("connected");
    case LinkState::Running: return N_("running");
    case LinkState::RunningFree: return N_("running without breakpoints");
    case LinkState::WaitingForReset: return N_("waiting for the reset key");
    case LinkState::Experiment: return N_("control experiment");
    case LinkState::AdapterGone: return N_("the serial adapter is gone");
    }
    return "";
}

CDebugSession::CDebugSession()
    : m_sink([this](UINT message, WPARAM wParam, LPARAM lParam) { return OnLinkMessage(message, wParam, lParam); })
{
}

CDebugSession::~CDebugSession() { Close(); }

bool CDebugSession::Open(const CLineChoice& choice)
{
    Close();
    m_choice = choice;
    std::string error;
    m_line = CBoardLine::Open(choice, error);
    if (!m_line)
        return Fail(error);
    m_line->Link().SetAckWnd(m_sink.GetSafeHwnd());
    return true;
}

void CDebugSession::Close()
{
    if (!m_line)
        return;
    // The link ends its worker as it closes; nothing may be sent to the sink meanwhile.
    m_line->Link().SetAckWnd(nullptr);
    m_line.reset();
    m_experimentActive = false;
    m_stopPending = false;
    m_copyRunEnding = false;
    m_resetCancelled = false;
    m_breakpoints.clear();
    m_code.Clear();
    ++m_codeGeneration;
    m_entry.reset();
    m_stepper.reset();
    m_sourceStop.reset();
    m_stoppedSinceDownload = false;
    m_copyRun = false;
    m_copyRunStops = 0;
    m_current = m_previous = CTargetSnapshot{};
    m_changes = CSnapshotChanges{};
}

bool CDebugSession::Connect()
{
    if (!m_line)
        return Fail(Tr("no line is open"));
    CZORComm& link = m_line->Link();
    if (link.IsResetWatcherRunning())
        return Fail(Tr("the link waits for the board's reset key"));
    m_resetCancelled = false;
    if (!link.CheckConnect())
        return LinkFailed(Tr("the board does not answer"));
    if (link.GetZORCPUType() == CZORComm::CPU_NONE)
        return Fail(Tr("the board's CPU type is not known"));
    return true;
}

LinkState CDebugSession::State() const
{
    if (!m_line)
        return LinkState::Closed;
    const CZORComm& link = m_line->Link();
    // The in-process board's line cannot be unplugged.
    if (!m_line->Choice().IsVirtual() && link.IsPortGone())
        return LinkState::AdapterGone;
    if (link.IsCtrlThreadRunning() || m_experimentActive)
        return LinkState::Experiment;
    if (link.IsResetWatcherRunning())
        return LinkState::WaitingForReset;
    if (link.IsProgExcAll())
        return LinkState::RunningFree;
    // In copy-run mode the running flag drops for a moment at every stop, while the
    // watcher restarts the program.
    if (link.IsZORRunning() || m_stopPending || link.IsCopyRuning())
        return LinkState::Running;
    if (m_resetCancelled || !link.IsZORConnect())
        return LinkState::Unconnected;
    return LinkState::Connected;
}

std::string CDebugSession::AdapterGoneText() const
{
    return DescribeGoneLine(LineChoice().device);
}

std::optional<CResetPrompt> CDebugSession::ResetPrompt() const
{
    if (State() != LinkState::WaitingForReset)
        return std::nullopt;
    CResetPrompt prompt;
    prompt.port = CBoardLine::kPort + 1;
    prompt.baud = m_line->Choice().baud;
    CString format, text;
    format.LoadString(zorkit::IDS_PORT_AND_BAUD);
    text.Format(format, prompt.port, prompt.baud);
    prompt.gbk = text.str();
    prompt.utf8 = zorkit::Utf8FromGbk(prompt.gbk);
    return prompt;
}

bool CDebugSession::AwaitReset()
{
    if (!m_line)
        return Fail(Tr("no line is open"));
    CZORComm& link = m_line->Link();
    if (State() == LinkState::AdapterGone)
        return Fail(AdapterGoneText());
    if (link.IsCtrlThreadRunning())
        return Fail(Tr("a control run occupies the line"));
    m_resetCancelled = false;
    // Marking the link down starts the reset watcher, or keeps the one already waiting.
    link.SetZORConnect(0);
    return true;
}

void CDebugSession::CancelReset()
{
    if (!m_line || !m_line->Link().IsResetWatcherRunning())
        return;
    // Marking the link up is what stops the watcher; the line is not known to work.
    m_line->Link().SetZORConnect(1);
    m_resetCancelled = true;
}

zorkit::sim::CVirtualBoard* CDebugSession::VirtualBoard() { return m_line ? m_line->VirtualBoard() : nullptr; }

std::shared_ptr<zorkit::sim::CVirtualBoard> CDebugSession::SharedVirtualBoard() const
{
    return m_line ? m_line->SharedBoard() : nullptr;
}

CZORComm* CDebugSession::Link() { return m_line ? &m_line->Link() : nullptr; }

std::string CDebugSession::CommLog(std::size_t maxBytes) const
{
    return ReadCommLog(CCommPort::GetLogPath(), maxBytes);
}

bool CDebugSession::Download(const CIntelHex& hex, const DownloadProgress& progress, std::optional<WORD> entry)
{
    if (!Ready(N_("download")))
        return false;
    if (hex.GetRuns().empty())
        return Fail(Tr("the program holds no bytes"));
    if (!FitsCodeSpace(hex.GetRuns()))
        return Fail(Tr("bytes beyond address FFFF do not fit the board's 64 KB code space"));
    m_code.Clear();
    ++m_codeGeneration;
    m_entry.reset();
    m_stepper.reset();
    m_sourceStop.reset();
    m_stoppedSinceDownload = false;
    std::size_t total = 0, sent = 0;
    for (const CIntelHex::Run& run : hex.GetRuns())
        total += run.bytes.size();
    bool cancelled = false;
    // One frame at a time, so that a cancel takes effect between two frames.
    for (const CIntelHex::Run& run : hex.GetRuns()) {
        for (std::size_t at = 0; at < run.bytes.size() && !cancelled; at += kDownloadFrame) {
            const std::size_t n = std::min(kDownloadFrame, run.bytes.size() - at);
            const CIntelHex::Run frame{std::uint32_t(run.address + at),
                                       std::vector<BYTE>(run.bytes.begin() + long(at), run.bytes.begin() + long(at + n))};
            if (!DownloadProgram(m_line->Link(), {frame})) {
                ++m_codeGeneration;
                return LinkFailed(Tr("the download stopped"));
            }
            m_code.Put(frame.address, frame.bytes);
            sent += n;
            cancelled = progress && !progress(sent, total);
        }
    }
    ++m_codeGeneration;
    if (cancelled)
        return Fail(Tr("the download was cancelled after {1} of {2} bytes", {std::to_string(sent), std::to_string(total)}));
    m_entry = entry ? *entry : WORD(hex.GetRuns().front().address);
    return true;
}

std::optional<WORD> CDebugSession::RunStart() const
{
    if (!m_entry)
        return std::nullopt;
    return m_stoppedSinceDownload && m_current.valid ? m_current.pc : *m_entry;
}

bool CDebugSession::RunProgram()
{
    const auto from = RunStart();
    if (!from)
        return Fail(Tr("download a program first"));
    return Run(*from);
}

bool CDebugSession::SetCopyRun(bool on)
{
    if (!m_entry)
        return Fail(Tr("download a program first"));
    if (!CopyRun(*m_entry, on))
        return false;
    m_copyRun = on;
    m_copyRunStops = 0;
    return true;
}

bool CDebugSession::Run(WORD from)
{
    if (!Ready(N_("run")))
        return false;
    return m_line->Link().ProgExec(from) || LinkFailed(Tr("the board did not start the program"));
}

bool CDebugSession::Step()
{
    if (!Ready(N_("step")))
        return false;
    return m_line->Link().StepDebug() || LinkFailed(Tr("the board did not step"));
}

bool CDebugSession::Trace()
{
    if (!Ready(N_("trace")))
        return false;
    if (!m_line->Link().TraceDebug())
        return LinkFailed(Tr("the board did not trace"));
    return Refresh();
}

bool CDebugSession::RunToCursor(WORD address)
{
    if (!Ready(N_("run to the cursor")))
        return false;
    return m_line->Link().GotoCursor(address) || LinkFailed(Tr("the board did not run to the cursor"));
}

bool CDebugSession::CopyRun(WORD address, bool on)
{
    if (!m_line)
        return Fail(Tr("no line is open"));
    CZORComm& link = m_line->Link();
    if (!on) {
        // The watcher looks at the mode right after each stop report; cleared while
        // the report is handled, the mode ends at that stop without a restart.
        m_copyRunEnding = link.IsCopyRuning();
        return true;
    }
    if (!Ready(N_("copy-run")))
        return false;
    return link.CopyRun(address, TRUE) || LinkFailed(Tr("the board did not start copy-run"));
}

bool CDebugSession::ToggleBreakpoint(WORD address)
{
    if (!Ready(N_("change a breakpoint")))
        return false;
    CZORComm& link = m_line->Link();
    if (IsBreakpoint(address)) {
        if (!link.ClearBreakPt(address))
            return LinkFailed(Tr("the board kept the breakpoint at {1}", {tools::Hex(address, 4)}));
        m_breakpoints.erase(address);
    } else {
        if (!link.SetBreakPt(address))
            return LinkFailed(Tr("the board did not take the breakpoint at {1}", {tools::Hex(address, 4)}));
        m_breakpoints.insert(address);
    }
    return true;
}

bool CDebugSession::ClearBreakpoints()
{
    if (!Ready(N_("clear the breakpoints")))
        return false;
    if (!m_line->Link().ClearAllBreakPt())
        return LinkFailed(Tr("the board kept its breakpoints"));
    m_breakpoints.clear();
    return true;
}

LRESULT CDebugSession::OnLinkMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The worker waits while this runs: note what happened, act on it in Poll.
    if (message == kPollMessage) {
        Poll();
    } else if (message == WM_TARGET_STOPPED) {
        m_stopPending = true;
        if (m_copyRunEnding && m_line) {
            m_copyRunEnding = false;
            m_line->Link().CopyRun(0, FALSE);
        }
        // Handled once the watcher is let go, by the thread's own message loop.
        PostMessage(m_sink.GetSafeHwnd(), kPollMessage, 0, 0);
    } else if (message == WM_CTRL_SAMPLE && m_experiment && m_line) {
        const tools::CControlSample sample = tools::DecodeControlSample(wParam, lParam);
        m_experiment->Add(sample.shown, sample.raw, m_line->Link().GetCtrlOutput(), GetTickCount() - m_experimentStart);
        if (m_onSample)
            m_onSample(m_experiment->Samples().back());
    }
    return 0;
}

void CDebugSession::Poll()
{
    if (!m_line)
        return;
    CZORComm& link = m_line->Link();
    const LinkState state = State();
    // An idle line is read by nobody, so nothing else would notice the hang-up.
    if ((state == LinkState::Connected || state == LinkState::Unconnected) && !m_line->Choice().IsVirtual())
        link.CheckPortGone();
    if (State() == LinkState::AdapterGone) {
        // No stop or sample can come over a vanished line.
        m_stopPending = false;
        m_copyRunEnding = false;
        if (m_experimentActive && !link.IsCtrlThreadRunning())
            FinishExperiment();
        TryReopen();
        return;
    }
    if (m_stopPending) {
        m_stopPending = false;
        const bool copyRunning = link.IsCopyRuning();
        // The watcher that reported the stop is ending; the next run or step needs
        // the worker slot free to be watched.
        if (!copyRunning && !link.IsResetWatcherRunning() && !link.IsCtrlThreadRunning())
            link.SetZORRunning(0);
        if (m_stepStops) {
            m_stepStopSeen = true;
            return;
        }
        if (m_copyRun)
            ++m_copyRunStops;
        if (copyRunning) {
            // The program has restarted: there is nothing to read.
            m_stoppedSinceDownload = true;
            ++m_stopsHandled;
            if (m_onStop)
                m_onStop();
        } else {
            FinishStop();
        }
    }
    if (m_experimentActive && !link.IsCtrlThreadRunning())
        FinishExperiment();
}

void CDebugSession::FinishStop()
{
    Refresh();
    ReadSourceStop(0);
    m_stoppedSinceDownload = true;
    ++m_stopsHandled;
    if (m_onStop)
        m_onStop();
}

void CDebugSession::SetDebugInfo(std::shared_ptr<const cdebug::CDebugInfo> info)
{
    m_sourceStop.reset();
    m_stepper.reset();
    if (!info || !m_line)
        return;
    m_stepper = std::make_unique<CSourceStepper>(m_line->Link(), std::move(info), m_code.Read(0, 0x10000),
                                                 [this] { return WaitForStepStop(); });
}

void CDebugSession::ReadSourceStop(std::size_t frame)
{
    if (!m_stepper || !m_current.valid)
        return;
    m_stepper->Adopt(m_current.registers, m_current.internalRam);
    m_sourceStop = std::make_shared<const CSourceStop>(m_stepper->Read(frame));
}

bool CDebugSession::WaitForStepStop()
{
    // As long as a person would wait for one C line before giving up on it.
    constexpr DWORD kStepMs = 30000;
    m_stepStopSeen = false;
    zorkit::PumpMessagesUntil([&] {
        Poll();
        return m_stepStopSeen || State() == LinkState::AdapterGone;
    }, kStepMs);
    return m_stepStopSeen;
}

bool CDebugSession::StepSource(SourceStep step)
{
    if (!Ready(N_("step by C line")))
        return false;
    if (!m_stepper)
        return Fail(Tr("the program downloaded has no C debug information: build a C program and download it"));
    if (!m_current.valid || !m_stoppedSinceDownload)
        return Fail(Tr("the program has not stopped yet: run it to a breakpoint first"));
    m_stepper->Adopt(m_current.registers, m_current.internalRam);
    m_stepStops = true;
    const bool stepped = m_stepper->Step(step, m_breakpoints);
    m_stepStops = false;
    if (!stepped) {
        const std::string why = m_stepper->Error();
        if (State() == LinkState::Connected)
            FinishStop();
        return Fail(why);
    }
    FinishStop();
    return true;
}

bool CDebugSession::SelectFrame(std::size_t frame)
{
    if (!m_sourceStop)
        return Fail(Tr("no C program has stopped"));
    if (frame >= m_sourceStop->frames.size())
        return Fail(Tr("the call stack has {1} frames", {std::to_string(m_sourceStop->frames.size())}));
    if (!Ready(N_("read the frame")))
        return false;
    ReadSourceStop(frame);
    return true;
}

bool CDebugSession::WriteVariable(const std::string& name, const std::string& value)
{
    if (!m_sourceStop || !m_stepper)
        return Fail(Tr("no C program has stopped"));
    if (!Ready(N_("write a variable")))
        return false;
    const std::size_t frame = m_sourceStop->selected;
    m_stepper->Adopt(m_current.registers, m_current.internalRam);
    if (!m_stepper->Write(name, value, frame))
        return Fail(m_stepper->Error());
    // Read back from the board, as the watch then shows it.
    if (!Refresh())
        return false;
    ReadSourceStop(frame);
    return true;
}

void CDebugSession::TryReopen()
{
    const DWORD now = GetTickCount();
    if (m_lastReopenCheck != 0 && now - m_lastReopenCheck < kReopenCheckMs)
        return;
    m_lastReopenCheck = now;
    // A device that reappears may not open at once (its permissions come a moment later).
    if (!zorkit::SerialDeviceMayBeThere(m_line->Choice().device) || !m_line->Link().ReopenPort())
        return;
    m_lastReopenCheck = 0;
    m_resetCancelled = false;
}

bool CDebugSession::WaitForStop(DWORD timeoutMs)
{
    const int before = m_stopsHandled;
    // A vanished adapter ends the wait: no stop can be reported.
    const bool stopped = zorkit::PumpMessagesUntil([&] {
        Poll();
        return m_stopsHandled > before || State() == LinkState::AdapterGone;
    }, timeoutMs);
    if (State() == LinkState::AdapterGone)
        return Fail(AdapterGoneText());
    return stopped;
}

bool CDebugSession::ReadBlock(MemoryKind kind, WORD address, std::vector<BYTE>& out)
{
    CZORComm& link = m_line->Link();
    for (std::size_t done = 0; done < out.size(); done += kUploadChunk) {
        const DWORD n = DWORD(std::min<std::size_t>(kUploadChunk, out.size() - done));
        const WORD at = WORD(address + done);
        const BOOL ok = kind == MemoryKind::Internal ? link.InMemUld(out.data() + done, n, at)
                                                      : link.ExMemUld(out.data() + done, n, at);
        if (!ok)
            return false;
    }
    return true;
}

bool CDebugSession::Refresh()
{
    if (!Ready(N_("read the board")))
        return false;
    CZORComm& link = m_line->Link();
    if (link.GetZORCPUType() == CZORComm::CPU_NONE)
        return Fail(Tr("the board's CPU type is not known; connect first"));
    CTargetSnapshot next;
    next.registers.resize(std::size_t(link.GetZORCPUType()));
    if (!link.RegisterUld(next.registers.data()))
        return LinkFailed(Tr("the registers did not arrive"));
    if (const CRegisterField* pc = FindRegister("PC"); pc && next.registers.size() == RegisterImageSize())
        next.pc = WORD(RegisterValue(next.registers, *pc));
    if (m_onRegisters)
        m_onRegisters(next);
    next.internalRam.resize(kInternalRamSize);
    if (!ReadBlock(MemoryKind::Internal, 0, next.internalRam))
        return LinkFailed(Tr("the internal RAM did not arrive"));
    next.externalAddress = m_externalAddress;
    next.external.resize(kExternalPageSize);
    if (!ReadBlock(MemoryKind::External, m_externalAddress, next.external))
        return LinkFailed(Tr("the external memory did not arrive"));
    next.codeAddress = next.pc;
    next.code = m_code.Read(next.pc, kCodeBytes);
    next.valid = true;
    m_previous = std::move(m_current);
    m_current = std::move(next);
    m_changes = CompareSnapshots(m_previous, m_current);
    return true;
}

bool CDebugSession::WriteRegister(const CRegisterField& field, unsigned value)
{
    if (!Ready(N_("write a register")))
        return false;
    CZORComm& link = m_line->Link();
    if (std::size_t(link.GetZORCPUType()) != RegisterImageSize())
        return Fail(Tr("the register table describes the 8051's image; this board has another CPU"));
    std::vector<BYTE> image(RegisterImageSize());
    if (!link.RegisterUld(image.data()))
        return LinkFailed(Tr("the registers did not arrive"));
    StoreRegisterValue(image, field, value);
    if (!link.RegisterDld(image.data()))
        return LinkFailed(Tr("the board did not take {1}", {field.name}));
    std::vector<BYTE> back(image.size());
    if (!link.RegisterUld(back.data()))
        return LinkFailed(Tr("the registers did not arrive"));
    if (m_current.valid)
        m_current.registers = back;
    const unsigned kept = RegisterValue(back, field);
    const unsigned wanted = value & ((1u << (8 * field.size)) - 1);
    if (kept != wanted)
        return Fail(Tr("{1} reads back {2}, not {3}", {field.name, tools::Hex(kept, 2 * field.size), tools::Hex(wanted, 2 * field.size)}));
    return true;
}

bool CDebugSession::WriteMemory(MemoryKind kind, WORD address, BYTE value)
{
    if (!Ready(N_("write memory")))
        return false;
    if (kind == MemoryKind::Internal && address >= kInternalRamSize)
        return Fail(Tr("the internal RAM has 256 bytes (00..FF)"));
    CZORComm& link = m_line->Link();
    BYTE data = value;
    const BOOL written = kind == MemoryKind::Internal ? link.InMemDld(&data, 1, address) : link.ExMemDld(&data, 1, address);
    if (!written)
        return LinkFailed(Tr("the board did not take the byte at {1}", {tools::Hex(address, 4)}));
    std::vector<BYTE> back(1);
    if (!ReadBlock(kind, address, back))
        return LinkFailed(Tr("the byte at {1} did not come back", {tools::Hex(address, 4)}));
    // The views show the board's value, whatever it is.
    if (m_current.valid) {
        if (kind == MemoryKind::Internal)
            m_current.internalRam[address] = back[0];
        else if (WORD(address - m_current.externalAddress) < m_current.external.size())
            m_current.external[WORD(address - m_current.externalAddress)] = back[0];
    }
    if (back[0] != value)
        return Fail(Tr("the byte at {1} reads back {2}, not {3}", {tools::Hex(address, 4), tools::Hex(back[0], 2), tools::Hex(value, 2)}));
    return true;
}

bool CDebugSession::StartExperiment(const CExperimentSetup& setup, std::function<void(const CExperimentSample&)> onSample)
{
    if (!m_line)
        return Fail(Tr("no line is open"));
    if (auto problem = CheckSetup(setup))
        return Fail(*problem);
    const LinkState state = State();
    if (state == LinkState::Running || state == LinkState::WaitingForReset || state == LinkState::Experiment)
        return Fail(Tr("the line is busy: {1}", {Tr(LinkStateName(state))}));
    CZORComm& link = m_line->Link();
    if (auto* board = m_line->VirtualBoard()) {
        // The board leaves its monitor for the experiment's firmware.
        zorkit::sim::CExperimentSettings settings;
        settings.plant = PlantOf(setup.kind);
        settings.samplePeriod = std::chrono::milliseconds(1);
        settings.step = kSecondsPerSample;
        settings.noise = 0.5;
        board->StartExperiment(settings);
    }
    m_experiment = std::make_unique<CExperimentRecord>(setup);
    m_onSample = std::move(onSample);
    m_experimentActive = true;
    m_experimentStart = GetTickCount();
    ApplySetup(link, setup);
    // The connection test counts the register image without reading it: those
    // bytes must not pass for the first sample.
    link.PurgeInput();
    link.SetControl(ControlType(setup.kind), nullptr);
    return true;
}

void CDebugSession::StopExperiment()
{
    if (m_line && m_experimentActive)
        m_line->Link().SetCtrlExit(0);
}

bool CDebugSession::WaitForExperimentEnd(DWORD timeoutMs)
{
    return zorkit::PumpMessagesUntil([&] {
        Poll();
        return !m_experimentActive || State() == LinkState::AdapterGone;
    }, timeoutMs) && !m_experimentActive;
}

void CDebugSession::FinishExperiment()
{
    m_experimentActive = false;
    if (auto* board = m_line->VirtualBoard())
        board->StopExperiment();
}

bool CDebugSession::Ready(const char* what)
{
    const LinkState state = State();
    switch (state) {
    case LinkState::Connected: return true;
    case LinkState::Closed: return Fail(Tr("cannot {1}: no line is open", {Tr(what)}));
    case LinkState::Unconnected: return Fail(Tr("cannot {1}: the board is not connected", {Tr(what)}));
    case LinkState::AdapterGone: return Fail(Tr("cannot {1}: {2}", {Tr(what), AdapterGoneText()}));
    default: return Fail(Tr("cannot {1}: {2}", {Tr(what), Tr(LinkStateName(state))}));
    }
}

bool CDebugSession::Fail(const std::string& what)
{
    m_error = what;
    return false;
}

bool CDebugSession::LinkFailed(const std::string& what)
{
    if (State() == LinkState::AdapterGone)
        return Fail(Tr("{1}: {2}", {what, AdapterGoneText()}));
    return Fail(Tr("{1}: {2}", {what, DescribeLinkFailure(m_line->Link())}));
}

}
