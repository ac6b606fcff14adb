// The master side of a pseudo-terminal pair: what a virtual device holds while a
// client program opens the slave path as if it were a serial port.
//
//   zorkit::CPseudoTerminal pty;
//   if (!pty.Open()) { fputs(pty.LastError().c_str(), stderr); return; }
//   puts(pty.SlavePath().c_str());            // e.g. /dev/pts/7
//   while (pty.WaitReadable(-1) == CPseudoTerminal::WAIT_READY) { ... pty.Read(...) ... }
//
// The slave is opened once internally and kept open, so the master never reports a
// hang-up merely because no client is connected yet or a client has closed; the
// slave is set to raw mode, so bytes pass unchanged and are never echoed back.
// HangUp() closes both ends: the client then sees a hang-up (POLLHUP, reads fail),
// as if the device had been unplugged. Opened with SLAVE_BY_CLIENT, the slave is not
// kept: the owner can tell whether a client is there (HasClient), as a device with
// a plug can.
//
// Thread safety: Wake() may be called from any thread while another thread is in
// WaitReadable(); every other call belongs to the thread that owns the terminal.
#pragma once

#include <cerrno>
#include <cstddef>
#include <string>

#include "zorkit/platform/core/FileDescriptor.h"
#include "zorkit/platform/core/WinTypes.h"

namespace zorkit {

class CPseudoTerminal {
public:
    enum WaitResult {
        WAIT_READY,   // bytes are waiting to be read
        WAIT_TIMEOUT, // the time ran out
        WAIT_WOKEN,   // Wake() was called
        WAIT_FAILED,  // the terminal is closed or in error
        WAIT_NO_CLIENT, // opened with SLAVE_BY_CLIENT: nobody has the slave open
    };

    enum OpenMode {
        KEEP_SLAVE_OPEN, // a client's coming and going is not seen
        SLAVE_BY_CLIENT, // the slave is open only while a client holds it
    };

    CPseudoTerminal() = default;
    ~CPseudoTerminal() = default;
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    // Creates a new pair (hanging up an earlier one); FALSE with LastError() set.
    BOOL Open(OpenMode mode = KEEP_SLAVE_OPEN);
    BOOL IsOpen() const { return m_master.IsValid(); }
    void HangUp();
    // The path a client opens, e.g. "/dev/pts/3"; empty while closed.
    const std::string& SlavePath() const { return m_slavePath; }
    const std::string& LastError() const { return m_error; }
    // The errno behind LastError(), for a host that words the reason itself.
    int LastErrorNumber() const { return m_errorNumber; }

    // Reads up to n waiting bytes without waiting; -1 when the terminal failed.
    long Read(BYTE* buffer, std::size_t n);
    // Writes n bytes, waiting up to timeoutMs for room; returns the count written.
    std::size_t Write(const BYTE* buffer, std::size_t n, int timeoutMs);
    // Waits until bytes are waiting, Wake() is called or timeoutMs pass (-1: no limit).
    WaitResult WaitReadable(int timeoutMs);
    // Waits until Wake() is called or timeoutMs pass; true when woken.
    bool WaitWoken(int timeoutMs);
    void Wake() { m_wake.Signal(); }
    // Whether a client has the slave open (always, with KEEP_SLAVE_OPEN).
    BOOL HasClient() const;

private:
    BOOL Fail(const char* what, int error = errno);

    FileDescriptor m_master;
    FileDescriptor m_keeper;
    WakeEvent m_wake;
    std::string m_slavePath;
    std::string m_error;
    int m_errorNumber = 0;
};

}
