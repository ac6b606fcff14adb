// zorstudio's debugging session: one board (a real serial device or the virtual
// board inside this process), the link to it, the program downloaded, the
// breakpoints, what the board showed at the last two stops, and control runs.
// Windows show it and call it; it knows no window itself.
//
//   CDebugSession session;
//   session.SetStopHandler([&] { views.Show(session.Current(), session.Changes()); });
//   if (!session.Open({}) || !session.Connect()) ... session.LastError() ...
//   session.Download(build.hex);
//   session.ToggleBreakpoint(0x0110);
//   session.Run(0x0100);
//   // the thread's message loop runs the stop handler after the board stopped
//
// Everything runs on the thread that made the session, which must pump its
// messages (the link reports stops and samples by window messages). Operations
// return false with LastError() set when they fail; a board that does not answer
// marks the link down, and State() then reports WaitingForReset while the link
// watches for the reset key (ResetPrompt() gives the prompt's text). A real
// device that vanishes leaves the session AdapterGone; once its path is back,
// Poll reopens it and the link waits for the reset key as after any failure.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/common/IntelHex.h"
#include "tools/zorstudio/BoardLine.h"
#include "tools/zorstudio/CodeListing.h"
#include "tools/zorstudio/ExperimentRecord.h"
#include "tools/zorstudio/RegisterLayout.h"
#include "tools/zorstudio/SourceStepper.h"
#include "tools/zorstudio/TargetSnapshot.h"
#include "zorkit/platform/core/HostWindow.h"

namespace zorstudio {

enum class LinkState {
    Closed,           // no line open
    Unconnected,      // open, not (or no longer known to be) talking to the monitor
    Connected,        // the monitor answers; commands may be sent
    Running,          // a run or step is under way and watched for its stop
    RunningFree,      // the program runs without breakpoints; only a reset ends it
    WaitingForReset,  // the link waits for the board's reset key
    Experiment,       // a control run occupies the line
    AdapterGone,      // the serial device vanished (a USB adapter pulled out); Poll watches for its return
};
const char* LinkStateName(LinkState state);

enum class MemoryKind { Internal, External };

// The reset prompt's port and baud line (string 113), for static 5003 of dialog 5002.
struct CResetPrompt {
    int port;           // COM number: the port index + 1
    int baud;
    std::string gbk;    // as the dialog shows it
    std::string utf8;
};

class CDebugSession {
public:
    static constexpr int kInternalRamSize = 256;
    static constexpr int kExternalPageSize = 128;
    static constexpr int kCodeBytes = 48;
    // Plant time per sample of the virtual board's experiments.
    static constexpr double kSecondsPerSample = 0.5;
    static constexpr DWORD kReopenCheckMs = 500;

    CDebugSession();
    ~CDebugSession();
    CDebugSession(const CDebugSession&) = delete;
    CDebugSession& operator=(const CDebugSession&) = delete;

    // Line and link.
    bool Open(const CLineChoice& choice);
    void Close();
    // The connection test; detects the CPU. A board that does not answer leaves the
    // link waiting for its reset key.
    bool Connect();
    LinkState State() const;
    // Set while State() is WaitingForReset.
    std::optional<CResetPrompt> ResetPrompt() const;
    // Asks for the reset key: the way out of RunningFree, or a check of a doubtful line.
    bool AwaitReset();
    // Escape at the prompt: stops waiting; the link counts as unconnected until the
    // next Connect.
    void CancelReset();
    // The line open, or the one last asked for when it could not be opened: a rate or
    // device chosen next starts from it.
    const CLineChoice& LineChoice() const { return m_choice; }
    // The in-process board (its reset key, its plants); null on a real device.
    zorkit::sim::CVirtualBoard* VirtualBoard();
    std::shared_ptr<zorkit::sim::CVirtualBoard> SharedVirtualBoard() const;
    CZORComm* Link();
    const std::string& LastError() const { return m_error; }
    // What the window says while State() is AdapterGone.
    std::string AdapterGoneText() const;
    // The end of the communication log, decoded to UTF-8.
    std::string CommLog(std::size_t maxBytes = 65536) const;

    // Program. progress hears of every frame acknowledged (bytes sent, bytes in all);
    // returning false from it stops the download before the next frame. entry: where
    // the program starts when not at its first byte (a C program's vector jumps lie below).
    using DownloadProgress = std::function<bool(std::size_t sent, std::size_t total)>;
    bool Download(const CIntelHex& hex, const DownloadProgress& progress = {}, std::optional<WORD> entry = {});
    const CCodeImage& Code() const { return m_code; }
    // Counts the changes of Code(), so that a copy of it is made again only when it changed.
    int CodeGeneration() const { return m_codeGeneration; }
    // Where the downloaded program begins; nothing before a download.
    std::optional<WORD> Entry() const { return m_entry; }

    // Running. Run without breakpoints leaves the board in RunningFree.
    bool Run(WORD from);
    // Runs the downloaded program: the first time from its entry, later from where it stopped.
    bool RunProgram();
    // Where RunProgram starts now.
    std::optional<WORD> RunStart() const;
    bool Step();
    // One instruction without waiting for a stop report; the snapshot is read at once.
    bool Trace();
    bool RunToCursor(WORD address);
    // on: every stop is reported (without reading the board: the program has
    // restarted) and the program restarts at address. off: the program runs on to
    // its next stop, which is handled as any other, and is not restarted.
    bool CopyRun(WORD address, bool on);
    // Copy-run of the downloaded program from its entry, turned on or off.
    bool SetCopyRun(bool on);
    bool IsCopyRun() const { return m_copyRun; }
    // The stops reported since copy-run was turned on.
    int CopyRunStops() const { return m_copyRunStops; }
    bool ToggleBreakpoint(WORD address);
    bool ClearBreakpoints();
    bool IsBreakpoint(WORD address) const { return m_breakpoints.count(address) != 0; }
    const std::set<WORD>& Breakpoints() const { return m_breakpoints; }

    // Stops. The handler runs from Poll after the snapshot was read (in copy-run
    // mode, where the program has already restarted, without reading it). A stop
    // report posts a message that runs Poll from the thread's message loop.
    void SetStopHandler(std::function<void()> handler) { m_onStop = std::move(handler); }
    // Handles a reported stop, notices the end of a control run and, while the
    // adapter is gone, reopens its path once it exists again; a window timer calls it.
    void Poll();
    // Pumps messages until a stop was handled; false after timeoutMs.
    bool WaitForStop(DWORD timeoutMs);
    int StopsHandled() const { return m_stopsHandled; }

    // What the board shows. The handler hears of the registers of each reading as
    // soon as they arrive, before the memory is read.
    bool Refresh();
    void SetRegistersHandler(std::function<void(const CTargetSnapshot&)> handler) { m_onRegisters = std::move(handler); }
    // The external page read at each stop (kExternalPageSize bytes).
    void SetExternalPage(WORD address) { m_externalAddress = address; }
    const CTargetSnapshot& Current() const { return m_current; }
    const CTargetSnapshot& Previous() const { return m_previous; }
    const CSnapshotChanges& Changes() const { return m_changes; }
    std::vector<CListingLine> ListingAtPc(int lines) const { return ListCode(m_code, m_current.pc, lines); }
    // Write one register or byte and read it back; false when the board kept another value.
    bool WriteRegister(const CRegisterField& field, unsigned value);
    bool WriteMemory(MemoryKind kind, WORD address, BYTE value);

    // C programs. The debug information of the program downloaded (null for an
    // assembly program; a download forgets it). With it every stop also reads the call
    // stack and the watches of the selected frame.
    void SetDebugInfo(std::shared_ptr<const cdebug::CDebugInfo> info);
    // Steps by C line from the stop; the stop that ends it is handled as any other.
    bool StepSource(SourceStep step);
    // Watches the locals of another frame of the call stack.
    bool SelectFrame(std::size_t frame);
    // Writes a variable of the selected frame (or a global) and reads the stop again.
    bool WriteVariable(const std::string& name, const std::string& value);
    // Null while no C program has stopped.
    const std::shared_ptr<const CSourceStop>& SourceStop() const { return m_sourceStop; }
    // Link operations of the source debugger since the debug information was set.
    int SourceOperations() const { return m_stepper ? m_stepper->Operations() : 0; }

    // Control runs. onSample hears of every sample as it arrives.
    bool StartExperiment(const CExperimentSetup& setup,
                         std::function<void(const CExperimentSample&)> onSample = {});
    void StopExperiment();
    bool IsExperimentRunning() const { return m_experimentActive; }
    // Pumps messages until the run has ended; false after timeoutMs.
    bool WaitForExperimentEnd(DWORD timeoutMs);
    // The last run's record; null before the first.
    CExperimentRecord* Experiment() { return m_experiment.get(); }

private:
    LRESULT OnLinkMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // True when a command may be sent now; sets the error otherwise.
    bool Ready(const char* what);
    bool Fail(const std::string& what);
    bool LinkFailed(const std::string& what);
    bool ReadBlock(MemoryKind kind, WORD address, std::vector<BYTE>& out);
    void FinishExperiment();
    // What every handled stop does after the board stopped: read it, count it, tell.
    void FinishStop();
    void ReadSourceStop(std::size_t frame);
    // Waits for a stop of the source debugger's runs, leaving the reading to it.
    bool WaitForStepStop();
    // Reopens the vanished device when its path is back, checking at most every
    // kReopenCheckMs.
    void TryReopen();

    zorkit::CHostWindow m_sink;
    CLineChoice m_choice;
    std::unique_ptr<CBoardLine> m_line;
    std::string m_error;
    bool m_resetCancelled = false;
    CCodeImage m_code;
    int m_codeGeneration = 0;
    std::optional<WORD> m_entry;
    bool m_stoppedSinceDownload = false;
    bool m_copyRun = false;
    int m_copyRunStops = 0;
    std::function<void(const CTargetSnapshot&)> m_onRegisters;
    std::set<WORD> m_breakpoints;
    WORD m_externalAddress = 0;
    CTargetSnapshot m_current, m_previous;
    CSnapshotChanges m_changes;
    bool m_stopPending = false;
    bool m_copyRunEnding = false;
    int m_stopsHandled = 0;
    std::function<void()> m_onStop;
    std::unique_ptr<CSourceStepper> m_stepper;
    std::shared_ptr<const CSourceStop> m_sourceStop;
    // Set while the source debugger runs the board: its stops are its own to read.
    bool m_stepStops = false;
    bool m_stepStopSeen = false;
    std::unique_ptr<CExperimentRecord> m_experiment;
    std::function<void(const CExperimentSample&)> m_onSample;
    bool m_experimentActive = false;
    DWORD m_experimentStart = 0;
    DWORD m_lastReopenCheck = 0;
};

}
