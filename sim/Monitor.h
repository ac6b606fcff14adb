// The board's resident monitor as a byte-in, bytes-out machine without any I/O:
// the line feeds it received bytes and the passing of time, and writes out what it
// answers. It checks and executes command frames, runs the reset banner and echo
// test, and runs the user program on the board's 8051 core: in slices paced to the
// board's clock, until a breakpoint, the cursor or the reset key. Boards of the
// other CPU types have no core; their runs end after the stop delay.
//
//   CMonitor monitor;
//   std::vector<BYTE> out;
//   monitor.Receive(b, Clock::now(), out);   // for every byte off the line
//   monitor.Tick(Clock::now(), out);         // when NextDeadline() has come
//
// Not thread-safe: the owner serialises every call.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "sim/BoardMemory.h"
#include "sim/FaultPlan.h"
#include "sim/FrameAssembler.h"
#include "sim/cpu/Core8051.h"

namespace zorkit::sim {

enum class BoardMode {
    Monitor,     // waiting for command frames
    HostAnswer,  // a data block or a 0x55 verdict went out; waiting for the host's 0xAA
    Running,     // the user program runs until it stops (breakpoint, cursor, step)
    RunningFree, // the user program runs without breakpoints, until a reset (or A5)
    Keypad,      // the board obeys its keypad and ignores the line, until a reset
    BannerSent,  // after a reset: waiting for the host's 0xAA to the banner
    EchoCheck,   // after a reset: collecting the host's 0xAA and its echo 0x00..0xFF
};

struct CMonitorTimings {
    // The shortest time from the start of a run to a breakpoint or cursor, or of a
    // step, to its stop report: a run that stops sooner is reported at the delay.
    std::chrono::milliseconds stopDelay{200};
    // The 8051's machine cycles per second: 1000000 for a 12 MHz crystal, 0 for as
    // fast as the host can go.
    std::uint32_t machineCyclesPerSecond{1000000};
    // Silence after which a partial frame (or a partial host echo) is given up.
    std::chrono::milliseconds frameGap{1000};
    // How long the host has to answer a data block (or a 0x55 verdict) with 0xAA.
    std::chrono::milliseconds hostAnswer{1000};
};

class CMonitor {
public:
    using Clock = std::chrono::steady_clock;
    using Output = std::vector<BYTE>;

    void Receive(BYTE b, Clock::time_point now, Output& out);
    // Acts on a deadline that has come; harmless when none has.
    void Tick(Clock::time_point now, Output& out);
    std::optional<Clock::time_point> NextDeadline() const;
    // The reset key: ends any run, forgets breakpoints, sends the sign-on banner.
    void PressReset(Output& out);

    BoardMode Mode() const { return m_mode; }
    CBoardMemory& Memory() { return m_memory; }
    const CBoardMemory& Memory() const { return m_memory; }
    CFaultPlan& Faults() { return m_faults; }
    const CFaultPlan& Faults() const { return m_faults; }
    const std::set<WORD>& Breakpoints() const { return m_breakpoints; }
    // The 8051's PC; without a core, the address named by the last reset, run or
    // goto-cursor command.
    WORD ProgramCounter() const;
    // The register image of the board's CPU (the 8051's is read from its core).
    std::vector<BYTE> Registers() const;
    void SetRegisters(const BYTE* image, std::size_t n);
    C8051Core& Core() { return m_core; }
    const C8051Core& Core() const { return m_core; }
    const CMonitorTimings& Timings() const { return m_timings; }
    void SetTimings(const CMonitorTimings& timings) { m_timings = timings; }

private:
    using Handler = void (CMonitor::*)(const CFrame&, Clock::time_point, Output&);
    struct CCommand {
        BYTE code;
        BYTE length; // the frame's L; 0 for downloads, whose L is their count + 5
        Handler execute;
    };
    static const CCommand kCommands[];

    void HandleFrame(const CFrame& frame, Clock::time_point now, Output& out);
    // Puts the acknowledgement on the line as the armed faults let it pass.
    void Acknowledge(Output& out);
    void SendBlock(const std::vector<BYTE>& data, Clock::time_point now, Output& out);
    void AwaitHostAnswer(Clock::time_point now);
    bool HasCore() const { return m_memory.Cpu() == CpuType::Intel8051; }
    // Starts a run from the core's PC; `cursor` adds a stop address of its own.
    void StartRun(Clock::time_point now, bool free, std::optional<WORD> cursor = std::nullopt);
    // Runs the core for the time that has passed, and notes when it stops.
    void AdvanceRun(Clock::time_point now);
    // The run or step has ended: its report goes out at the stop delay at the earliest.
    void EndRun(Clock::time_point now);
    void SendEcho(Clock::time_point now, Output& out);
    void CheckEcho(BYTE b, Clock::time_point now, Output& out);
    void GiveVerdict(bool good, Clock::time_point now, Output& out);

    void DownloadCode(const CFrame& frame, Clock::time_point now, Output& out);
    void DownloadExternal(const CFrame& frame, Clock::time_point now, Output& out);
    void UploadExternal(const CFrame& frame, Clock::time_point now, Output& out);
    void DownloadInternal(const CFrame& frame, Clock::time_point now, Output& out);
    void UploadInternal(const CFrame& frame, Clock::time_point now, Output& out);
    void DownloadRegisters(const CFrame& frame, Clock::time_point now, Output& out);
    void UploadRegisters(const CFrame& frame, Clock::time_point now, Output& out);
    void ResetProgram(const CFrame& frame, Clock::time_point now, Output& out);
    void Execute(const CFrame& frame, Clock::time_point now, Output& out);
    void GotoCursor(const CFrame& frame, Clock::time_point now, Output& out);
    void Step(const CFrame& frame, Clock::time_point now, Output& out);
    void Trace(const CFrame& frame, Clock::time_point now, Output& out);
    void SetBreak(const CFrame& frame, Clock::time_point now, Output& out);
    void ClearBreak(const CFrame& frame, Clock::time_point now, Output& out);
    void ClearAllBreaks(const CFrame& frame, Clock::time_point now, Output& out);
    void KeyMonitor(const CFrame& frame, Clock::time_point now, Output& out);

    CBoardMemory m_memory;
    CFaultPlan m_faults;
    CMonitorTimings m_timings;
    CFrameAssembler m_assembler;
    BoardMode m_mode = BoardMode::Monitor;
    std::set<WORD> m_breakpoints;
    WORD m_programCounter = 0;
    C8051Core m_core{m_memory.Bytes(MemorySpace::Code), m_memory.Bytes(MemorySpace::External),
        m_memory.Bytes(MemorySpace::Internal)};
    // Where the running program stops: the breakpoints, and the cursor of a goto.
    CStopMap m_stops;
    bool m_leaveStop = false;
    bool m_stopped = false;
    // The start of the run or step, which the stop delay counts from.
    Clock::time_point m_runStart{};
    // Where the pacing counts from: the machine cycles due are those since then.
    Clock::time_point m_paceStart{};
    std::uint64_t m_paceStartCycles = 0;
    // When the core runs its next slice.
    Clock::time_point m_nextSlice{};
    // Time of the last byte of a partial frame or echo, or when a wait began.
    Clock::time_point m_lastByte{};
    // When the stop is reported (Running, once stopped) or the host's answer is given
    // up (HostAnswer).
    Clock::time_point m_deadline{};
    std::size_t m_echoCount = 0;
    bool m_echoGood = true;
};

}
