// The serial link to an experiment box's resident monitor.
//
//   CZORComm link(CZORComm::CPU_8051, 0, 0);     // COM1 (see PortTable.h), 9600 baud
//   link.SetAckWnd(window);                      // told WM_TARGET_STOPPED, WM_CTRL_SAMPLE
//   if (link.CheckConnect()) { link.ProgDld(image, size); link.SetBreakPt(0x0130); link.ProgExec(0x0100); }
//
// Every operation blocks the calling thread for its whole exchange. One worker
// thread at a time runs a watcher (reset handshake, end of a run or step,
// copy-run) or a control experiment and reports to the ack window with
// SendMessage; the host must keep pumping messages while a worker runs and must
// not send commands while a watcher runs.
#pragma once

#include <atomic>

#include "link/CommPort.h"
#include "platform/core/CString.h"
#include "platform/core/Messaging.h"
#include "platform/core/WorkerThread.h"

constexpr UINT WM_TARGET_STOPPED = WM_USER + 0x6E;
constexpr UINT WM_CTRL_SAMPLE = WM_USER + 0x70;

enum CTRLTYPE { CTRL_TEMP = 0, CTRL_VILO = 1, CTRL_SMOTOR = 2 };

enum { THREAD_RESET = 0, THREAD_WAIT = 1, THREAD_COPY = 2, THREAD_CTRL = 3 };

class CZORComm : public CCommPort {
public:
    enum ZORTYPE { CPU_NONE = 0, CPU_8051 = 26, CPU_8086 = 28, CPU_8098 = 30 };

    enum ZORCMD {
        CMD_PROG_DLD = 0x01,
        CMD_EXMEM_DLD = 0x02,
        CMD_EXMEM_ULD = 0x03,
        CMD_INMEM_DLD = 0x07,
        CMD_INMEM_ULD = 0x08,
        CMD_REG_DLD = 0x09,
        CMD_REG_ULD = 0x0A,
        CMD_PROG_RESET = 0x0B,
        CMD_PROG_EXEC = 0x0C,
        CMD_GOTO_CURSOR = 0x0D,
        CMD_STEP = 0x0E,
        CMD_TRACE = 0x0F,
        CMD_SET_BREAK = 0x10,
        CMD_CLEAR_BREAK = 0x11,
        CMD_CLEAR_ALL_BREAK = 0x12,
        CMD_KEY_MONITOR = 0x13,
    };

    CZORComm(ZORTYPE expected, int port, int baud);
    ~CZORComm() override;
    // Copies would share the port and the log; a link is not copyable.
    CZORComm(const CZORComm&) = delete;
    CZORComm& operator=(const CZORComm&) = delete;

    // Memory, registers and program download.
    BOOL ExMemDld(BYTE* data, DWORD n, WORD addr);
    BOOL ExMemUld(BYTE* out, DWORD n, WORD addr);
    BOOL InMemDld(BYTE* data, DWORD n, WORD addr);
    BOOL InMemUld(BYTE* out, DWORD n, WORD addr);
    BOOL RegisterDld(BYTE* regs);
    BOOL RegisterUld(BYTE* out);
    BOOL ProgDld(const BYTE* image, DWORD size);

    // Running, stepping and breakpoints.
    BOOL ProgReset(WORD addr);
    BOOL ProgExec(WORD addr);
    BOOL FromCursor(WORD addr);
    BOOL GotoCursor(WORD addr);
    BOOL SetBreakPt(WORD addr);
    BOOL ClearBreakPt(WORD addr);
    BOOL ClearAllBreakPt();
    BOOL StepDebug();
    BOOL TraceDebug();
    BOOL CopyRun(WORD addr, BOOL on);
    BOOL KeyMonitor();

    ZORTYPE GetZORCPUType() const { return m_detectedType; }
    int IsCopyRuning() const { return m_copyRun.load(std::memory_order_acquire); }
    int IsProgExcAll() const { return m_execAll.load(std::memory_order_acquire); }

    BOOL SetCommOption(int port, int baud);
    int GetCommPort() const { return m_nPort; }
    int GetCommBaud() const { return m_nBaud; }

    // Connection supervision.
    BOOL IsZORConnect() const { return m_connected.load(std::memory_order_acquire); }
    BOOL IsZORRunning() const { return m_running.load(std::memory_order_acquire); }
    BOOL SetZORConnect(int connected) override;
    BOOL SetZORRunning(int running);
    BOOL CheckZORConnect(int keepState);
    BOOL CheckZORCPU();
    BOOL CheckConnect();
    BOOL ZORReset();
    BOOL WaitInfinite();
    BOOL WaitCopyInfinite();
    BOOL WaitReset();
    void SetAckWnd(HWND wnd) { m_ackWnd.store(wnd, std::memory_order_release); }
    void ShowTimeMsg(CString caption, CString text, UINT milliseconds);
    static DWORD CommThreadProc(CZORComm* link);

    static constexpr DWORD kMaxDownloadBytes = 250;
    static constexpr DWORD kMaxUploadBytes = 255;
    static constexpr DWORD kMaxProgramFileBytes = 65535;

protected:
    BOOL SendZORCmd(ZORCMD code, DWORD length);
    BOOL SendBlock(DWORD n, BOOL force);
    BOOL SendWithCheck(DWORD length);
    BOOL WaitForAck();
    BOOL ReceiveBlock(DWORD n);
    BOOL ReceiveWithCheck(BYTE* out, DWORD n);
    BOOL CloseConnection() override;

    BYTE m_receive[256];
    BYTE m_send[256];

private:
    BOOL ProgDld(char* path);
    BOOL MemoryDownload(ZORCMD code, const BYTE* data, DWORD n, WORD addr);
    BOOL MemoryUpload(ZORCMD code, BYTE* out, DWORD n, WORD addr);
    BOOL SendAddressCommand(ZORCMD code, WORD addr);
    BOOL IsCommThreadRunning() const { return m_worker.IsRunning(); }
    // Starts the worker with `kind`; false when one runs or no thread could be made.
    bool StartWorker(int kind);
    // The watchers' own ending: slot free, running flag down.
    void EndWatcher();
    // Waits until the worker has left its slot, handling messages the worker sends
    // this thread meanwhile so that a watcher blocked in a notification can finish.
    void WaitForWorkerExit();
    void NotifyStopped();
    // One received byte of the reset handshake; true when the handshake is complete.
    bool HandshakeStep(BYTE b, int& stage, int& bannerPos, BYTE& echo);

    std::atomic<int> m_connected{0};
    std::atomic<int> m_running{0};
    ZORTYPE m_detectedType = CPU_NONE;
    ZORTYPE m_expectedType;
    ZORCMD m_lastCommand;
    std::atomic<HWND> m_ackWnd{nullptr};
    DWORD m_constructionTime = 0;
    std::atomic<int> m_copyRun{0};
    WORD m_copyRunAddr = 0;
    DWORD m_breakpointCount = 0;
    std::atomic<int> m_execAll{0};
    std::atomic<int> m_threadKind{THREAD_RESET};
    // Last: the worker uses every member above, so it must end before they go.
    zorkit::CWorkerThread m_worker;
};
