// The virtual experiment box: a monitor serving one pseudo-terminal from its own
// thread. Any program that opens SlavePath() as a serial port talks to it.
//
//   zorkit::sim::CVirtualBoard board;
//   if (!board.Start()) { ... board.LastError() ... }
//   PortTable().Map(0, board.SlavePath());     // the host's COM1 is the board
//   board.PressReset();                         // banner, then the echo test
//   board.InjectFault(Fault::DropAck);          // the next frame goes unanswered
//   board.Stop();                               // the host sees a hang-up
//
// Thread safety: Start, Stop and HangUp belong to one controlling thread; every
// other call is safe from any thread. The board thread does all the line I/O; the
// calls here change the board's state under its lock or post a request and wake it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"
#include "zorkit/platform/serial/PseudoTerminal.h"
#include "sim/BoardMemory.h"
#include "sim/Experiment.h"
#include "sim/FaultPlan.h"
#include "sim/Monitor.h"
#include "sim/WireLog.h"
#include "sim/devices/CoreDevices.h"

namespace zorkit::sim {

class CVirtualBoard {
public:
    CVirtualBoard() = default;
    ~CVirtualBoard() { Stop(); }
    CVirtualBoard(const CVirtualBoard&) = delete;
    CVirtualBoard& operator=(const CVirtualBoard&) = delete;

    // Opens a new pseudo-terminal and serves it (hanging up a line already served);
    // FALSE with LastError(). Memory, registers and settings stay as they are.
    BOOL Start();
    // Ends the thread and closes the line: a connected host sees a hang-up.
    void Stop();
    // The fault "the line hangs up": the same as Stop, remembered by IsHungUp().
    void HangUp();
    BOOL IsRunning() const;
    BOOL IsHungUp() const { return m_hungUp.load(); }
    std::string SlavePath() const;
    std::string LastError() const;
    // The errno behind LastError().
    int LastErrorNumber() const;

    void SetCpuType(CpuType cpu);
    CpuType GetCpuType() const;
    void SetTimings(const CMonitorTimings& timings);
    CMonitorTimings GetTimings() const;
    // The reset key; the board thread sends the banner and serves the echo test.
    void PressReset();
    BoardMode Mode() const;
    // True once the board is in `mode`; false when the time-out passes first.
    bool WaitMode(BoardMode mode, std::chrono::milliseconds timeout) const;

    std::vector<BYTE> ReadMemory(MemorySpace space, WORD address, std::size_t n) const;
    void WriteMemory(MemorySpace space, WORD address, const std::vector<BYTE>& data);
    std::vector<BYTE> Registers() const;
    void SetRegisters(const std::vector<BYTE>& image);
    std::set<WORD> Breakpoints() const;
    WORD ProgramCounter() const;

    // Watching the 8051 run; the observers are called on the board thread, with the
    // board's lock held, so they must not call back into the board.
    // Port latch changes: port 0..3 and its new value.
    void SetPortObserver(std::function<void(int, BYTE)> observer);
    // Every executed instruction: address, code bytes and listing text.
    void SetInstructionTrace(std::function<void(const std::string&)> observer);
    // Runs `action` on the board's 8051 under the board's lock, between run slices:
    // where devices are attached (C8051Core::AttachWiring) and driven from outside.
    // The core's callbacks come on the board thread, also with the lock held.
    void WithCore(const std::function<void(C8051Core&)>& action);

    // Puts the profile's devices on the 8051's pins and bus (nullptr takes them off).
    void AttachDevices(const CBoardProfile* profile);
    // Runs `action` on the devices at the core's time, under the board's lock; false
    // (without running it) when no devices are attached.
    bool WithDevices(const std::function<void(CDeviceBoard&)>& action);
    // Told after every turn of the board thread (a run slice of the program among
    // them) and after every WithDevices, with the board's lock held and the devices
    // brought to the core's time: a panel copies out what it shows without waiting
    // for the lock. Empty stops it.
    void SetDeviceWatcher(std::function<void(CDeviceBoard&)> watcher);

    void InjectFault(Fault fault);
    // Disarms every fault not yet spent.
    void ClearFaults();
    // How many occurrences of the fault are armed and not yet spent.
    std::size_t ArmedFaults(Fault fault) const;
    // Arms Fault::WrongAck with the byte that goes out instead of 0xAA.
    void InjectWrongAck(BYTE b);
    // A silent board takes in bytes (they are logged) but neither acts nor answers.
    void SetSilent(bool silent);
    // A slow line: the board's next answer, and whatever it sends after it in the
    // meantime, goes out `delay` after the board produced it.
    void DelayNextAnswer(std::chrono::milliseconds delay);
    BOOL IsSilent() const { return m_silent.load(); }

    // A control experiment: the board leaves its monitor and runs the plant until
    // StopExperiment or the reset key.
    void StartExperiment(const CExperimentSettings& settings);
    void StopExperiment();
    // The running experiment; nullopt while the monitor serves the line.
    std::optional<CExperimentState> Experiment() const;

    CWireLog& WireLog() { return m_wireLog; }
    const CWireLog& WireLog() const { return m_wireLog; }

private:
    void Run();
    // One turn of the board thread: what arrived and what time it is, answered.
    void Serve(CPseudoTerminal::WaitResult woken);
    int MillisecondsToDeadline() const;
    // Keeps `out` back while a delayed answer is due, and hands out all of it once it is.
    void HoldBack(CMonitor::Output& out);
    void Shutdown();

    mutable std::mutex m_lock;
    // Signalled after every turn of the board thread.
    mutable std::condition_variable m_served;
    CMonitor m_monitor;
    std::unique_ptr<CCoreDevices> m_devices;
    std::function<void(CDeviceBoard&)> m_deviceWatcher;
    std::optional<CExperiment> m_experiment;
    std::optional<std::chrono::milliseconds> m_answerDelay;
    // Output held back by a delayed answer, and when it goes out.
    std::vector<BYTE> m_held;
    std::optional<std::chrono::steady_clock::time_point> m_heldUntil;
    CPseudoTerminal m_line;
    std::string m_slavePath;
    std::string m_error;
    int m_errorNumber = 0;
    std::thread m_thread;
    std::atomic<bool> m_stopRequested{false};
    std::atomic<bool> m_resetRequested{false};
    std::atomic<bool> m_silent{false};
    std::atomic<bool> m_hungUp{false};
    CWireLog m_wireLog;
};

}
