// The serial port of a link and its communication log "ZORCOMM.LOG".
//
// The log is written in GBK, one line per step, CR LF line ends, time-stamped at
// creation and closing. On Linux it lives in a per-user directory (see
// SetLogDirectory), recreated empty by every link constructed.
//
// Thread safety: the link's host thread and its worker share this object without
// locks; they never exchange bytes at the same time. SetEventMask may be called
// from any thread to end a WaitEvent. Both threads log, one whole line at a time.
#pragma once

#include <atomic>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "zorkit/link/ErrorStack.h"
#include "zorkit/platform/core/StdioFile.h"
#include "zorkit/platform/core/WinTypes.h"
#include "zorkit/platform/serial/SerialPort.h"

class CCommPort : public CErrorStack {
public:
    CCommPort(int port, int baud);
    ~CCommPort() override;
    CCommPort(const CCommPort&) = delete;
    CCommPort& operator=(const CCommPort&) = delete;

    // Opens and configures the port; on failure the log gets a line saying why.
    BOOL OpenPort();
    // Why the last OpenPort failed (None after a success); the log has it in words too.
    zorkit::SerialOpenFailure GetLastOpenFailure() const { return m_lastOpenFailure; }
    BOOL SetupPort(BOOL baudOnly);
    virtual BOOL CloseConnection();
    virtual BOOL SetZORConnect(int connected) = 0;

    DWORD GetQueueCount(BOOL input);
    DWORD ReadBytes(BYTE* buffer, DWORD n);
    DWORD WriteBytes(const BYTE* buffer, DWORD n);
    BOOL ReadByte(BYTE& b) { return ReadBytes(&b, 1) == 1; }
    BOOL WriteByte(BYTE b) { return WriteBytes(&b, 1) == 1; }
    BOOL WaitEvent(DWORD& mask);
    BOOL SetEventMask(DWORD mask);
    // A new worker starts deaf to mask changes made for the worker before it.
    void ForgetEventMaskChanges() { m_serial.ForgetMaskChanges(); }
    DWORD GetEventMask();
    BOOL PurgeInput();
    BOOL PurgeOutput();
    BOOL WriteLog(const char* text);
    int IsActive() const { return m_active.load(std::memory_order_acquire); }
    void SetActive(int active) { m_active.store(active, std::memory_order_release); }

    // Where links create "ZORCOMM.LOG". Default: $ZORKIT_LOG_DIR, else
    // $XDG_STATE_HOME/zorkit, else ~/.local/state/zorkit; created when missing.
    static void SetLogDirectory(const std::string& directory);
    static std::string GetLogDirectory();
    static std::string GetLogPath();

    static constexpr int kBaudRates[5] = {9600, 4800, 2400, 1200, 600};

protected:
    // Logs a UTF-8 text, converted to the log's GBK.
    BOOL LogText(const char* utf8);
    // OpenPort without its reason line, for callers that log their own failure line
    // first; they follow it with LogOpenFailure().
    BOOL OpenPortUnlogged();
    // Logs in words why the last open failed.
    void LogOpenFailure();
    // Waits until `count` bytes are waiting or `timeoutMs` passed; returns how many are.
    DWORD WaitForInput(DWORD count, DWORD timeoutMs) { return m_serial.WaitForInput(count, timeoutMs); }
    bool IsPortHungUp() const { return m_serial.IsHungUp(); }
    bool CheckPortHungUp() { return m_serial.CheckHangUp(); }
    bool IsPortOpen() const { return m_serial.IsOpen(); }

    int m_nPort;
    int m_nBaud;

private:
    void WriteTimeStamp();
    BOOL FailOpen(int code, zorkit::SerialOpenFailure why);

    zorkit::StdioFile m_log;
    // A line is several stdio calls: a watcher's line must not land inside the host's.
    std::mutex m_logLock;
    zorkit::CSerialPort m_serial;
    std::atomic<int> m_active{0};
    zorkit::SerialOpenFailure m_lastOpenFailure = zorkit::SerialOpenFailure::None;
};
