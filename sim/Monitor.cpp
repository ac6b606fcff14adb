#include "sim/Monitor.h"

#include <algorithm>
#include <iterator>

#include "sim/BoardProtocol.h"
#include "sim/cpu/RegisterImage.h"

namespace zorkit::sim {
namespace {

// The host answers 0xAA, then echoes 0x00..0xFF.
constexpr std::size_t kHostEchoLength = 257;
// Where a broken banner or echo goes wrong, and with what.
constexpr std::size_t kBrokenBannerAt = 4;
constexpr std::size_t kBrokenEchoAt = 0x10;
constexpr BYTE kBrokenBannerByte = '?';
// A paced run catches up with the clock every slice; a run at full speed does a
// bounded amount of work per turn, so the board still looks at the line and the key,
// and a panel watching its devices gets a picture every few milliseconds.
constexpr std::chrono::milliseconds kPacedSlice{10};
constexpr std::uint64_t kMaxSliceCycles = 250000;
// What a noisy line puts in front of an answer: neither 0xAA nor 0x55.
constexpr BYTE kNoise[] = {0x00, 0xFF, 0x13, 0x7E};

}

// Frame lengths are exact: a frame whose length does not fit its command is refused.
const CMonitor::CCommand CMonitor::kCommands[] = {
    {CMD_PROG_DLD, 0, &CMonitor::DownloadCode},
    {CMD_EXMEM_DLD, 0, &CMonitor::DownloadExternal},
    {CMD_EXMEM_ULD, 5, &CMonitor::UploadExternal},
    {CMD_INMEM_DLD, 0, &CMonitor::DownloadInternal},
    {CMD_INMEM_ULD, 5, &CMonitor::UploadInternal},
    {CMD_REG_DLD, 52, &CMonitor::DownloadRegisters},
    {CMD_REG_ULD, 2, &CMonitor::UploadRegisters},
    {CMD_PROG_RESET, 4, &CMonitor::ResetProgram},
    {CMD_PROG_EXEC, 4, &CMonitor::Execute},
    {CMD_GOTO_CURSOR, 4, &CMonitor::GotoCursor},
    {CMD_STEP, 4, &CMonitor::Step},
    {CMD_TRACE, 4, &CMonitor::Trace},
    {CMD_SET_BREAK, 4, &CMonitor::SetBreak},
    {CMD_CLEAR_BREAK, 4, &CMonitor::ClearBreak},
    {CMD_CLEAR_ALL_BREAK, 2, &CMonitor::ClearAllBreaks},
    {CMD_KEY_MONITOR, 2, &CMonitor::KeyMonitor},
};

void CMonitor::Receive(BYTE b, Clock::time_point now, Output& out)
{
    switch (m_mode) {
    case BoardMode::Monitor:
        m_lastByte = now;
        switch (m_assembler.Push(b)) {
        case CFrameAssembler::FRAME_GOOD: HandleFrame(m_assembler.Frame(), now, out); break;
        case CFrameAssembler::FRAME_BAD: out.push_back(kNak); break;
        case CFrameAssembler::NEED_MORE: break;
        }
        return;
    case BoardMode::HostAnswer:
        m_mode = BoardMode::Monitor;
        // A host that does not answer the block has already moved on to its next frame.
        if (b != kAck)
            Receive(b, now, out);
        return;
    case BoardMode::BannerSent:
        if (b == kAck) {
            SendEcho(now, out);
            return;
        }
        // No handshake on the other side: the monitor serves frames at once.
        m_mode = BoardMode::Monitor;
        Receive(b, now, out);
        return;
    case BoardMode::EchoCheck:
        CheckEcho(b, now, out);
        return;
    case BoardMode::Running:
    case BoardMode::RunningFree:
    case BoardMode::Keypad:
        // The user program or the keypad owns the CPU; the line is not listened to.
        return;
    }
}

void CMonitor::Tick(Clock::time_point now, Output& out)
{
    std::optional<Clock::time_point> deadline = NextDeadline();
    if (!deadline || now < *deadline)
        return;
    switch (m_mode) {
    case BoardMode::Monitor: m_assembler.Clear(); break;
    case BoardMode::HostAnswer: m_mode = BoardMode::Monitor; break;
    case BoardMode::Running:
    case BoardMode::RunningFree:
        if (!m_stopped) {
            if (HasCore())
                AdvanceRun(now);
            return;
        }
        out.push_back(kAck);
        m_mode = BoardMode::Monitor;
        break;
    case BoardMode::EchoCheck: GiveVerdict(false, now, out); break;
    case BoardMode::Keypad:
    case BoardMode::BannerSent: break;
    }
}

std::optional<CMonitor::Clock::time_point> CMonitor::NextDeadline() const
{
    switch (m_mode) {
    case BoardMode::Monitor:
        if (m_assembler.InProgress())
            return m_lastByte + m_timings.frameGap;
        return std::nullopt;
    case BoardMode::EchoCheck: return m_lastByte + m_timings.frameGap;
    case BoardMode::HostAnswer: return m_deadline;
    case BoardMode::Running:
    case BoardMode::RunningFree:
        if (m_stopped)
            return m_deadline;
        if (HasCore())
            return m_nextSlice;
        return std::nullopt;
    case BoardMode::Keypad:
    case BoardMode::BannerSent: break;
    }
    return std::nullopt;
}

void CMonitor::PressReset(Output& out)
{
    m_assembler.Clear();
    m_breakpoints.clear();
    m_core.Reset();
    m_programCounter = 0;
    std::size_t start = out.size();
    out.insert(out.end(), kBanner.begin(), kBanner.end());
    if (m_faults.Take(Fault::BreakBanner))
        out[start + kBrokenBannerAt] = kBrokenBannerByte;
    m_mode = BoardMode::BannerSent;
}

void CMonitor::HandleFrame(const CFrame& frame, Clock::time_point now, Output& out)
{
    const CCommand* command = nullptr;
    for (const CCommand& candidate : kCommands)
        if (candidate.code == frame.Code())
            command = &candidate;
    bool fits = command && (command->length ? frame.Length() == command->length
                                            : frame.Length() == frame.Count() + 5);
    if (!fits || m_faults.Take(Fault::Nak)) {
        out.push_back(kNak);
        return;
    }
    Acknowledge(out);
    (this->*command->execute)(frame, now, out);
}

void CMonitor::Acknowledge(Output& out)
{
    if (m_faults.Take(Fault::Garbage))
        out.insert(out.end(), std::begin(kNoise), std::end(kNoise));
    if (m_faults.Take(Fault::DropAck))
        return;
    out.push_back(m_faults.Take(Fault::WrongAck) ? m_faults.WrongByte() : kAck);
}

void CMonitor::SendBlock(const std::vector<BYTE>& data, Clock::time_point now, Output& out)
{
    out.insert(out.end(), data.begin(), data.end());
    BYTE sum = Checksum(data.data(), data.size());
    if (!m_faults.Take(Fault::ShortBlock))
        out.push_back(m_faults.Take(Fault::CorruptBlock) ? BYTE(sum + 1) : sum);
    AwaitHostAnswer(now);
}

void CMonitor::AwaitHostAnswer(Clock::time_point now)
{
    m_mode = BoardMode::HostAnswer;
    m_deadline = now + m_timings.hostAnswer;
}

void CMonitor::StartRun(Clock::time_point now, bool free, std::optional<WORD> cursor)
{
    m_mode = free ? BoardMode::RunningFree : BoardMode::Running;
    m_runStart = now;
    m_nextSlice = now;
    m_stopped = false;
    if (!HasCore()) {
        // Nothing runs: a run with a stop to come takes the stop delay.
        if (!free)
            EndRun(now);
        return;
    }
    m_stops.reset();
    for (WORD address : m_breakpoints)
        m_stops.set(address);
    if (cursor)
        m_stops.set(*cursor);
    m_leaveStop = true;
    m_paceStart = now;
    m_paceStartCycles = m_core.Cycles();
    AdvanceRun(now);
}

void CMonitor::AdvanceRun(Clock::time_point now)
{
    if (now < m_nextSlice)
        return;
    std::uint64_t budget = kMaxSliceCycles;
    if (m_timings.machineCyclesPerSecond) {
        auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - m_paceStart).count();
        std::uint64_t due = m_paceStartCycles + std::uint64_t(elapsed) * m_timings.machineCyclesPerSecond / 1000000;
        budget = due > m_core.Cycles() ? std::min(due - m_core.Cycles(), kMaxSliceCycles) : 0;
        if (due > m_core.Cycles() + kMaxSliceCycles) {
            // The board thread was held up: the time lost is not made up at full speed.
            m_paceStart = now;
            m_paceStartCycles = m_core.Cycles() + budget;
        }
    }
    m_nextSlice = m_timings.machineCyclesPerSecond ? now + kPacedSlice : now;
    if (budget == 0)
        return;
    C8051Core::Stop stop = m_core.Run(budget, m_stops, m_leaveStop);
    m_leaveStop = false;
    if (stop != C8051Core::Stop::Budget)
        EndRun(now);
}

void CMonitor::EndRun(Clock::time_point now)
{
    m_stopped = true;
    m_deadline = std::max(now, m_runStart + m_timings.stopDelay);
}

void CMonitor::SendEcho(Clock::time_point now, Output& out)
{
    std::size_t start = out.size();
    for (int value = 0; value <= 0xFF; ++value)
        out.push_back(BYTE(value));
    if (m_faults.Take(Fault::BreakEcho))
        out[start + kBrokenEchoAt] = BYTE(~kBrokenEchoAt);
    m_mode = BoardMode::EchoCheck;
    m_echoCount = 0;
    m_echoGood = true;
    m_lastByte = now;
}

void CMonitor::CheckEcho(BYTE b, Clock::time_point now, Output& out)
{
    BYTE expected = m_echoCount == 0 ? kAck : BYTE(m_echoCount - 1);
    m_echoGood = m_echoGood && b == expected;
    m_lastByte = now;
    if (++m_echoCount == kHostEchoLength)
        GiveVerdict(m_echoGood, now, out);
}

void CMonitor::GiveVerdict(bool good, Clock::time_point now, Output& out)
{
    if (good && !m_faults.Take(Fault::Nak)) {
        Acknowledge(out);
        m_mode = BoardMode::Monitor;
        return;
    }
    // The host answers a bad verdict with 0xAA.
    out.push_back(kNak);
    AwaitHostAnswer(now);
}

void CMonitor::DownloadCode(const CFrame& frame, Clock::time_point, Output&)
{
    m_memory.Write(MemorySpace::Code, frame.Address(), frame.Data(), frame.Count());
}

void CMonitor::DownloadExternal(const CFrame& frame, Clock::time_point, Output&)
{
    m_memory.Write(MemorySpace::External, frame.Address(), frame.Data(), frame.Count());
}

void CMonitor::UploadExternal(const CFrame& frame, Clock::time_point now, Output& out)
{
    SendBlock(m_memory.Read(MemorySpace::External, frame.Address(), frame.Count()), now, out);
}

void CMonitor::DownloadInternal(const CFrame& frame, Clock::time_point, Output&)
{
    m_memory.Write(MemorySpace::Internal, frame.Address(), frame.Data(), frame.Count());
}

void CMonitor::UploadInternal(const CFrame& frame, Clock::time_point now, Output& out)
{
    SendBlock(m_memory.Read(MemorySpace::Internal, frame.Address(), frame.Count()), now, out);
}

void CMonitor::DownloadRegisters(const CFrame& frame, Clock::time_point, Output&)
{
    // The image sits in bytes 2..R+1 of the fixed-size frame; the rest is filler.
    SetRegisters(&frame.bytes[2], RegisterImageSize(m_memory.Cpu()));
}

void CMonitor::UploadRegisters(const CFrame&, Clock::time_point now, Output& out)
{
    SendBlock(Registers(), now, out);
}

std::vector<BYTE> CMonitor::Registers() const
{
    return HasCore() ? ReadRegisterImage(m_core) : m_memory.Registers();
}

void CMonitor::SetRegisters(const BYTE* image, std::size_t n)
{
    if (HasCore())
        WriteRegisterImage(m_core, image, n);
    else
        m_memory.SetRegisters(image, n);
}

WORD CMonitor::ProgramCounter() const
{
    return HasCore() ? m_core.PC() : m_programCounter;
}

void CMonitor::ResetProgram(const CFrame& frame, Clock::time_point, Output&)
{
    m_core.Reset();
    m_core.SetPC(frame.Address());
    m_programCounter = frame.Address();
}

void CMonitor::Execute(const CFrame& frame, Clock::time_point now, Output&)
{
    m_core.SetPC(frame.Address());
    m_programCounter = frame.Address();
    StartRun(now, m_breakpoints.empty());
}

void CMonitor::GotoCursor(const CFrame& frame, Clock::time_point now, Output&)
{
    m_programCounter = frame.Address();
    StartRun(now, false, frame.Address());
}

void CMonitor::Step(const CFrame&, Clock::time_point now, Output&)
{
    // A5 is not executed: the step ends where it began.
    if (HasCore())
        m_core.Step();
    m_mode = BoardMode::Running;
    m_runStart = now;
    EndRun(now);
}

void CMonitor::Trace(const CFrame&, Clock::time_point, Output&)
{
    if (HasCore())
        m_core.Step();
}

void CMonitor::SetBreak(const CFrame& frame, Clock::time_point, Output&)
{
    m_breakpoints.insert(frame.Address());
}

void CMonitor::ClearBreak(const CFrame& frame, Clock::time_point, Output&)
{
    m_breakpoints.erase(frame.Address());
}

void CMonitor::ClearAllBreaks(const CFrame&, Clock::time_point, Output&)
{
    m_breakpoints.clear();
}

void CMonitor::KeyMonitor(const CFrame&, Clock::time_point, Output&)
{
    m_mode = BoardMode::Keypad;
}

}
