// One open serial device with the behaviour the link expects of a COM port (a
// local device, or a port server's line reached by rfc2217:// or tcp://, see PortTable.h):
// reads take only bytes already waiting, the event wait blocks until a character
// arrives or the event mask is changed from another thread, and a hang-up (a USB
// adapter pulled, the peer of a pseudo-terminal gone) makes every wait fail
// instead of returning at once forever. A port server closing the connection is
// such a hang-up.
//
// Bytes that a wait has seen arrive are moved into an internal staging buffer, so
// a wait for "n bytes waiting" blocks in poll() without spinning; queue counts and
// reads include them.
//
// Thread safety: every call is safe from any thread. SetEventMask from another
// thread ends a blocked WaitEvent. Waits are cancellation points on a worker thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "zorkit/platform/core/FileDescriptor.h"
#include "zorkit/platform/core/WinTypes.h"

constexpr DWORD EV_RXCHAR = 0x0001;

namespace zorkit {

class CSerialLine;

// Why a serial device could not be opened, for hosts that tell their users what to do.
enum class SerialOpenFailure {
    None,
    NoSuchDevice,     // the path names nothing (or a device without its hardware)
    PermissionDenied, // the user may not open it (on most systems: not in the dialout group)
    Busy,             // another program or link holds it
    NotATerminal,     // a file or device that is no serial line (/dev/null, a regular file)
    SettingsRefused,  // the device refused the line settings (baud rate, frame)
    SystemError,      // any other refusal of the system
    NoSuchHost,       // a port server's host name is not known (or not found in time)
    ConnectionRefused, // the host is there but nothing listens on the port
    HostUnreachable,  // no route to the host, or no answer within the connect deadline
    NotRfc2217Server, // the server does not speak telnet with COM-PORT-OPTION
};

// The reason in a few plain English words, e.g. "no such device".
const char* DescribeSerialOpenFailure(SerialOpenFailure failure);

class CSerialPort {
public:
    enum class SettingsResult { Applied, NotReadable, WriteFailed };

    CSerialPort();
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens the device of port `index` for exclusive use; false on failure, with
    // LastOpenFailure() telling why. A port server's name is looked up, connected and
    // negotiated within 5 s each, so such an open may take that long.
    bool Open(int index);
    SerialOpenFailure LastOpenFailure() const { return m_openFailure; }
    bool IsOpen() const { return m_open.load(std::memory_order_acquire); }
    // False when the port was not open or close() failed; the port is closed either way.
    bool Close();
    const std::string& Path() const { return m_path; }

    // 8 data bits, no parity, 2 stop bits, raw, no flow control, unless baudOnly. An
    // RFC 2217 server's answers are waited for (5 s): a setting it answers with another
    // value, as a rate its port cannot run at, is WriteFailed. A raw port takes any.
    SettingsResult ApplySettings(DWORD baud, bool baudOnly);
    // Linux has no per-port time-outs; the write time-out bounds blocking writes.
    bool SetTimeouts(DWORD writeMultiplierMs, DWORD writeConstantMs);
    // Linux has no settable queue sizes: accepted and ignored.
    bool SetQueueSizes(DWORD inputSize, DWORD outputSize);
    bool SetDtr(bool on);
    bool SetRts(bool on);

    DWORD QueuedInput();
    DWORD QueuedOutput();
    bool PurgeInput();
    bool PurgeOutput();

    // Reads up to n waiting bytes; -1 on failure, never waits.
    long Read(BYTE* buffer, DWORD n);
    // Writes all n bytes within the write time-out; the count written, -1 on failure.
    long Write(const BYTE* buffer, DWORD n);
    // Waits up to timeoutMs until the output queue is empty; false when it is not.
    bool WaitOutputEmpty(DWORD timeoutMs);
    // Waits up to timeoutMs until at least `count` bytes are waiting; returns how many are.
    DWORD WaitForInput(DWORD count, DWORD timeoutMs);
    // Looks, without waiting, whether the other end hung up; bytes waiting are kept
    // for the next read. Only I/O notices a hang-up otherwise, and an idle line has none.
    bool CheckHangUp();

    bool SetEventMask(DWORD mask);
    DWORD GetEventMask() const { return m_eventMask.load(std::memory_order_acquire); }
    // Blocks until an event of the mask occurs (stored in `events`) or another thread
    // changes the mask (events 0); false when the port is closed or hung up. A change
    // another thread made since this thread last waited ends the wait at once, so a
    // stop request that comes just before the wait is not lost; the waiting thread's
    // own changes never end its wait.
    bool WaitEvent(DWORD& events);
    // Drops the changes made so far: a new waiter takes over with a clean slate, as
    // they were meant for the one before.
    void ForgetMaskChanges();
    bool IsHungUp() const { return m_hungUp.load(std::memory_order_acquire); }
    // The RFC 2217 line state (overrun, parity, framing, break bits) and modem state
    // (CD, DSR, CTS) a port server last reported; false for a local device or before
    // the first report.
    bool RemoteLineStates(BYTE& lineState, BYTE& modemState) const;

private:
    DWORD QueuedInputLocked();
    // Discards the device's input or output queue; a hang-up it meets is marked.
    bool PurgeLocked(bool input);
    // Moves every byte the device holds into the staging buffer.
    bool StageWaitingLocked();
    // Bytes staged and not read yet.
    std::size_t StagedLocked() const;
    void ClearStagedLocked();
    // Whether the line opened as `generation` is still the open one, after a wait
    // without the lock.
    bool StillOpenLocked(std::uint64_t generation) const { return m_line && m_generation == generation; }
    void MarkHungUp() { m_hungUp.store(true, std::memory_order_release); }

    mutable std::mutex m_lock;
    std::unique_ptr<CSerialLine> m_line;
    std::atomic<bool> m_open{false};
    std::uint64_t m_generation = 0; // counts opens, so a wait sees a reopen
    std::string m_path;
    SerialOpenFailure m_openFailure = SerialOpenFailure::None;
    // m_staged[m_stagedStart..] are the bytes staged and not read yet.
    std::vector<BYTE> m_staged;
    std::size_t m_stagedStart = 0;
    std::atomic<DWORD> m_eventMask{0};
    std::atomic<bool> m_hungUp{false};
    DWORD m_writeMultiplierMs = 0;
    DWORD m_writeConstantMs = 1000;
    WakeEvent m_maskChanged;
    // Who changed the mask since the last wait took note; guarded by m_lock.
    bool m_changePending = false;
    bool m_changedByMany = false;
    std::thread::id m_changedBy;
};

}
