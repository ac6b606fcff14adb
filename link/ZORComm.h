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

#include "zorkit/link/CommPort.h"
#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/core/WorkerThread.h"

constexpr UINT WM_TARGET_STOPPED = WM_USER + 0x6E;
constexpr UINT WM_CTRL_SAMPLE = WM_USER + 0x70;

namespace zorkit::link {
class CResetHandshake;
}

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
    // True while the reset watcher owns the line. It marks the link up before its own
    // connection test, so a host waits for it to end before sending commands.
    BOOL IsResetWatcherRunning() const { return m_threadKind.load(std::memory_order_acquire) == THREAD_RESET && m_worker.IsRunning(); }
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
    // True when the serial device has gone (a USB adapter unplugged) or the port is closed.
    BOOL IsPortGone() const { return !IsPortOpen() || IsPortHungUp(); }
    // IsPortGone for a line nobody reads: looks for a hang-up without waiting.
    BOOL CheckPortGone() { return !IsPortOpen() || CheckPortHungUp(); }
    // For a device that went away and came back under the same path: closes the dead
    // port, opens the path again and starts the reset watcher, so that the board's
    // reset key brings the link up. FALSE when the device cannot be opened (yet).
    BOOL ReopenPort();
    void SetAckWnd(HWND wnd) { m_ackWnd.store(wnd, std::memory_order_release); }
    void ShowTimeMsg(CString caption, CString text, UINT milliseconds);
    static DWORD CommThreadProc(CZORComm* link);

    // Control experiments: set the set point, gains, sample count and period, then
    // SetControl. The worker sends WM_CTRL_SAMPLE for every counted sample; the
    // addresses it carries point into this object and hold the latest sample.
    void SetTargetTemp(int temp) { m_targetTemp.store(temp, std::memory_order_relaxed); }
    void SetTargetVilo(int speed) { m_targetVilo.store(speed, std::memory_order_relaxed); }
    void SetSMotorDirection(int direction) { m_smotorDirection.store(direction, std::memory_order_relaxed); }
    void SetSampleNums(int count) { m_sampleNums.store(count, std::memory_order_relaxed); }
    void SetKpKiKd(float Kp, float Ki, float Kd);
    void SetPeriod(int milliseconds) { m_period.store(milliseconds, std::memory_order_relaxed); }
    void SetCtrlExit(int running) { m_ctrlRunning.store(running, std::memory_order_release); }
    int IsCtrlRunning() const { return m_ctrlRunning.load(std::memory_order_acquire); }
    int GetCurrentCtrl() const { return m_currentCtrl.load(std::memory_order_acquire); }
    int IsSameToBeforeCtrl() const { return GetCurrentCtrl() == m_previousCtrl.load(std::memory_order_acquire); }
    void SetControl(CTRLTYPE type, char* text);
    // True while a control loop occupies the worker; it ends some time after SetCtrlExit(0).
    BOOL IsCtrlThreadRunning() const { return m_threadKind.load(std::memory_order_acquire) == THREAD_CTRL && m_worker.IsRunning(); }
    // The output byte answered to the latest sample (-1 before the first); valid while WM_CTRL_SAMPLE is handled.
    int GetCtrlOutput() const { return m_ctrlOutput.load(std::memory_order_acquire); }
    // The sampling loop; runs on the worker. The success of its last pass.
    int BkCommCtrl();

    static constexpr int kCtrlTextSize = 50;

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
    // Tests look at the worker slot and the private file download through this.
    friend struct CZORCommProbe;

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
    // One received byte of the reset handshake, acted on; true when the handshake is complete.
    bool HandshakeStep(zorkit::link::CResetHandshake& handshake, BYTE b);

    int RetrieveAnVal(unsigned char& b);
    int RetrieveTowVal(unsigned char& b1, unsigned char& b2);
    // One pass of the sampling loop in `mode`; true when it counts.
    bool ControlPass(int mode, int index);
    void NotifySample(LPARAM raw);
    char CtrlTemperature1(float v, int i);
    char CtrlVilocity(float v, int i);
    char CtrlTemperature(float v, int i);
    char CtrlVilocity1(float v, int i);
    float fuzzy1(float e, float ep);
    float fuzzy2(float e, float ep);
    float Fuzzy(const int (&table)[13][13], float ke, float kc, float ku, const char* trace, float e, float ep);

    std::atomic<int> m_connected{0};
    std::atomic<int> m_running{0};
    ZORTYPE m_detectedType = CPU_NONE;
    ZORTYPE m_expectedType;
    ZORCMD m_lastCommand;
    std::atomic<HWND> m_ackWnd{nullptr};
    DWORD m_constructionTime = 0;
    std::atomic<int> m_copyRun{0};
    std::atomic<WORD> m_copyRunAddr{0};
    DWORD m_breakpointCount = 0;
    std::atomic<int> m_execAll{0};
    std::atomic<int> m_threadKind{THREAD_RESET};

    // Control experiment settings; the worker reads them on every pass.
    std::atomic<int> m_targetTemp{0};
    std::atomic<int> m_targetVilo{0};
    std::atomic<int> m_smotorDirection{1};
    std::atomic<int> m_sampleNums{0};
    std::atomic<float> m_kp{0.0f};
    std::atomic<float> m_ki{0.0f};
    std::atomic<float> m_kd{0.0f};
    std::atomic<int> m_period{100};
    std::atomic<int> m_ctrlRunning{0};
    std::atomic<int> m_currentCtrl{-1};
    std::atomic<int> m_previousCtrl{-1};
    char m_ctrlText[kCtrlTextSize] = {};
    // What WM_CTRL_SAMPLE points to: here, not on the worker's stack, because a
    // terminated worker stops waiting while the host may still read them.
    float m_ctrlShown = 0.0f;
    WORD m_ctrlRaw = 0;
    std::atomic<int> m_ctrlOutput{-1};
    // Controller memory of the laws, kept per link so that two experiments at once
    // do not mix their sums.
    struct ControlMemory {
        float tempSum = 0.0f, tempLast = 0.0f;
        float viloSum = 0.0f, viloLast = 0.0f;
        float fuzzyTempLast = 0.0f, fuzzyViloLast = 0.0f;
    } m_ctrlMemory;
    // Last: the worker uses every member above, so it must end before they go.
    zorkit::CWorkerThread m_worker;
};
