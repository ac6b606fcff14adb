// Connection supervision: link state, CPU detection, and the worker's watchers
// (reset handshake, end of a run or step, copy-run).
#include <climits>
#include <cstdio>

#include "zorkit/link/LinkErrors.h"
#include "zorkit/link/ZORComm.h"
#include "zorkit/link/internal/Protocol.h"
#include "zorkit/module/ResourceIds.h"
#include "zorkit/link/internal/ResetHandshake.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/core/Time.h"

using zorkit::IDS_WRONG_CHIP;
using zorkit::link::kAck;
using zorkit::link::kBanner;
using zorkit::link::kBannerLength;
using zorkit::link::kNak;

namespace {
constexpr DWORD kResetDeadlineMs = 100000;
constexpr DWORD kCpuDetectWindowMs = 500;
constexpr DWORD kCpuDetectStepMs = 50;
constexpr DWORD kPauseAfterDetectMs = 20;
constexpr DWORD kWaitResetMs = 5000;

const char* CpuName(CZORComm::ZORTYPE type)
{
    switch (type) {
    case CZORComm::CPU_8051: return "Intel 8051";
    case CZORComm::CPU_8086: return "Intel 8086";
    case CZORComm::CPU_8098: return "Intel 8098";
    default: return nullptr;
    }
}
}

DWORD CZORComm::CommThreadProc(CZORComm* link)
{
    BOOL result;
    switch (link->m_threadKind.load(std::memory_order_acquire)) {
    case THREAD_RESET: result = link->ZORReset(); break;
    case THREAD_WAIT: result = link->WaitInfinite(); break;
    case THREAD_COPY: result = link->WaitCopyInfinite(); break;
    case THREAD_CTRL: result = link->BkCommCtrl(); break;
    default: return DWORD(-1);
    }
    return result ? 0 : 1;
}

bool CZORComm::StartWorker(int kind)
{
    // Mask changes made so far were for the worker before; one made from now on is
    // a stop request for this one and must end its first wait.
    ForgetEventMaskChanges();
    m_threadKind.store(kind, std::memory_order_release);
    return m_worker.Start([this] { CommThreadProc(this); });
}

void CZORComm::EndWatcher()
{
    // Cleared before the slot is freed: once the host sees the slot free, this watcher
    // no longer touches the flag of the run the host starts next.
    m_running.store(0, std::memory_order_release);
    // Called directly by the host, a watcher must not free the slot of a worker that still runs.
    if (m_worker.IsCurrentThread() || !m_worker.IsRunning())
        m_worker.ClearSlot();
}

void CZORComm::WaitForWorkerExit()
{
    if (m_worker.IsCurrentThread())
        return;
    zorkit::WaitHandlingSentMessages([this] { return !m_worker.IsRunning(); }, UINT_MAX);
}

void CZORComm::NotifyStopped()
{
    if (HWND wnd = m_ackWnd.load(std::memory_order_acquire))
        SendMessage(wnd, WM_TARGET_STOPPED, 0, 0);
}

void CZORComm::ShowTimeMsg(CString, CString, UINT) {}

BOOL CZORComm::SetZORConnect(int connected)
{
    LogText("设置通讯状态...");
    m_connected.store(connected, std::memory_order_release);
    if (connected == 0) {
        LogText("恢复正常通讯...");
        if (IsZORRunning())
            SetZORRunning(0);
        if (!IsCommThreadRunning()) {
            LogText("创建复位监视线程...");
            StartWorker(THREAD_RESET);
        }
    } else if (IsCommThreadRunning() && !m_worker.IsCurrentThread()) {
        LogText("终止复位监视线程...");
        SetActive(0);
        SetEventMask(EV_RXCHAR);
        WaitForWorkerExit();
        // The flag only served to stop the watcher: an open port stays active, so a
        // later reset watcher can run and the destructor still closes the port.
        if (IsPortOpen())
            SetActive(1);
    }
    LogText("成功！");
    return TRUE;
}

BOOL CZORComm::SetZORRunning(int running)
{
    LogText("设置单片机运行状态...");
    const int kind = m_threadKind.load(std::memory_order_acquire);
    const bool stopWatcher = (kind == THREAD_WAIT || kind == THREAD_COPY) && IsCommThreadRunning();
    if (running == 1 && !IsZORRunning() && stopWatcher && !m_worker.IsCurrentThread()) {
        // The last run's watcher has seen its stop and is ending: it would clear the new
        // run's flag as it goes and leave the new run without a watcher.
        SetEventMask(EV_RXCHAR);
        WaitForWorkerExit();
    }
    m_running.store(running, std::memory_order_release);
    if (running == 1) {
        if (!IsCommThreadRunning()) {
            LogText("创建响应等待监视线程...");
            return StartWorker(IsCopyRuning() ? THREAD_COPY : THREAD_WAIT);
        }
        LogText("成功！");
        return TRUE;
    }
    LogText("终止响应等待监视线程...");
    if (IsCommThreadRunning()) {
        SetEventMask(EV_RXCHAR);
        WaitForWorkerExit();
    }
    LogText("成功！");
    return TRUE;
}

BOOL CZORComm::CheckZORConnect(int keepState)
{
    LogText("测试与单片机的通讯连结...");
    if (keepState == 0) {
        SetZORRunning(0);
        SetZORConnect(1);
    }
    return SendZORCmd(CMD_REG_ULD, 2) && CheckZORCPU();
}

BOOL CZORComm::CheckZORCPU()
{
    LogText("检测单片机 CPU 类型...");
    DWORD highest = 0;
    const DWORD deadline = GetTickCount() + kCpuDetectWindowMs;
    for (;;) {
        Sleep(kCpuDetectStepMs + 1);
        DWORD waiting = GetQueueCount(TRUE);
        if (waiting > highest) {
            highest = waiting;
            if (zorkit::TickPassed(GetTickCount(), deadline))
                break;
            continue;
        }
        // Nothing new for 50 ms: the image and its checksum are complete.
        WriteByte(kAck);
        break;
    }
    m_detectedType = CPU_NONE;
    long imageSize = long(highest) - 1;
    ZORTYPE found = CPU_NONE;
    if (imageSize == CPU_8051 || imageSize == CPU_8086 || imageSize == CPU_8098)
        found = static_cast<ZORTYPE>(imageSize);
    if (found == CPU_NONE)
        return FALSE;
    m_detectedType = found;
    char line[48];
    std::snprintf(line, sizeof line, "ZOR 类型：%s", CpuName(found));
    LogText(line);
    if (found != m_expectedType) {
        CString format, message;
        format.LoadString(IDS_WRONG_CHIP);
        message.Format(format, CpuName(found));
        AfxMessageBox(message, MB_OK | MB_ICONSTOP);
    }
    Sleep(kPauseAfterDetectMs);
    return TRUE;
}

BOOL CZORComm::CheckConnect()
{
    BOOL result = TRUE;
    if (!IsCommThreadRunning() && !IsProgExcAll() && m_lastCommand != CMD_PROG_EXEC)
        result = CheckZORConnect(0);
    m_connected.store(result, std::memory_order_release);
    return result;
}

bool CZORComm::HandshakeStep(zorkit::link::CResetHandshake& handshake, BYTE b)
{
    using zorkit::link::CResetHandshake;
    switch (handshake.Take(b)) {
    case CResetHandshake::NONE: return false;
    case CResetHandshake::ANSWER_BANNER:
        PurgeInput();
        WriteByte(kAck);
        return false;
    case CResetHandshake::ANSWER_ECHO:
        WriteByte(kAck);
        if (!SendBlock(256, TRUE))
            handshake.EchoNotSent();
        return false;
    case CResetHandshake::LINE_GOOD:
        m_connected.store(1, std::memory_order_release);
        return true;
    case CResetHandshake::LINE_REFUSED:
        PushError(ERR_BOARD_REFUSED);
        WriteByte(kAck);
        return true;
    }
    return false;
}

BOOL CZORComm::ZORReset()
{
    LogText("单片机复位线程已经启动");
    zorkit::link::CResetHandshake handshake;
    BOOL result = FALSE;
    const DWORD deadline = GetTickCount() + kResetDeadlineMs;
    if (IsCommThreadRunning() && !m_worker.IsCurrentThread())
        m_worker.Terminate();
    for (int i = 0; i < 256; ++i)
        m_send[i] = BYTE(i);
    if (PurgeInput() && PurgeOutput() && SetEventMask(EV_RXCHAR)) {
        bool done = false;
        while (!done && IsActive() == 1 && !zorkit::TickPassed(GetTickCount(), deadline)) {
            DWORD events = 0;
            // A closed or hung-up port ends the watcher instead of failing at once forever.
            if (!WaitEvent(events))
                break;
            if ((events & EV_RXCHAR) == 0)
                continue;
            BYTE b = 0;
            while (!done && ReadByte(b))
                done = HandshakeStep(handshake, b);
        }
        if (done) {
            LogText("复位成功！");
            ShowTimeMsg(zorkit::GbkFromUtf8("消息").c_str(), zorkit::GbkFromUtf8("复位成功!").c_str(), 300);
            CheckZORConnect(1);
            result = TRUE;
            m_execAll.store(0, std::memory_order_release);
        }
    }
    EndWatcher();
    LogText("复位线程即将终止");
    if (!result)
        ShowTimeMsg(zorkit::GbkFromUtf8("消息").c_str(), zorkit::GbkFromUtf8("复位失败!").c_str(), 300);
    return result;
}

BOOL CZORComm::WaitInfinite()
{
    LogText("响应等待线程已经启动");
    BOOL result = FALSE;
    for (;;) {
        if (GetEventMask() != EV_RXCHAR) {
            SetEventMask(0);
            SetEventMask(EV_RXCHAR);
        }
        DWORD events = 0;
        if (!WaitEvent(events))
            break;
        BYTE b = 0;
        if ((events & EV_RXCHAR) && ReadByte(b) && b == kAck) {
            LogText("成功得到正确响应！");
            result = TRUE;
            m_running.store(0, std::memory_order_release);
            m_execAll.store(0, std::memory_order_release);
            NotifyStopped();
        }
        if (result || !IsZORRunning())
            break;
    }
    EndWatcher();
    LogText("响应监视线程即将终止");
    return result;
}

BOOL CZORComm::WaitCopyInfinite()
{
    LogText("响应等待线程已经启动");
    BOOL result = FALSE;
    bool armed = true;
    if (GetEventMask() != EV_RXCHAR) {
        SetEventMask(0);
        armed = SetEventMask(EV_RXCHAR);
    }
    while (armed) {
        DWORD events = 0;
        if (!WaitEvent(events))
            break;
        BYTE b = 0;
        while ((events & EV_RXCHAR) && ReadByte(b)) {
            if (b != kAck)
                continue;
            LogText("成功得到正确响应！");
            result = TRUE;
            m_running.store(0, std::memory_order_release);
            m_execAll.store(0, std::memory_order_release);
            NotifyStopped();
            if (IsCopyRuning()) {
                WORD restart = m_copyRunAddr.load(std::memory_order_acquire);
                m_send[2] = BYTE(restart & 0xFF);
                m_send[3] = BYTE(restart >> 8);
                SendZORCmd(CMD_PROG_EXEC, 4);
                m_running.store(1, std::memory_order_release);
            }
        }
        if (!(IsZORRunning() && IsCopyRuning()))
            break;
    }
    EndWatcher();
    LogText("响应监视线程即将终止");
    return result;
}

BOOL CZORComm::WaitReset()
{
    if (IsCommThreadRunning())
        m_worker.Terminate();
    PurgeInput();
    return WaitForInput(1, kWaitResetMs) >= 1;
}

BOOL CZORComm::ReopenPort()
{
    CloseConnection();
    if (!OpenPort())
        return FALSE;
    return SetZORConnect(0);
}

BOOL CZORComm::CloseConnection()
{
    if (IsCommThreadRunning())
        m_worker.Terminate();
    if (IsZORRunning())
        SetZORRunning(0);
    if (IsZORConnect())
        SetZORConnect(1);
    return CCommPort::CloseConnection();
}
