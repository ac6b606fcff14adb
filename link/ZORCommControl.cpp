// Control experiments: the sampling loop on the worker and its start and stop.
#include <cstring>

#include "zorkit/link/ZORComm.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/core/Time.h"

namespace {
constexpr BYTE kStepClockwise = 0xAA;
constexpr BYTE kStepCounterClockwise = 0x55;

// Copies `text` into a field of `size` bytes, cut at a character boundary and terminated.
void CopyText(char* field, int size, const char* text)
{
    int n = 0;
    if (text) {
        for (int i = 0; text[i];) {
            int length = zorkit::IsGbkLeadByte(BYTE(text[i])) && text[i + 1] ? 2 : 1;
            if (i + length > size - 1)
                break;
            i += length;
            n = i;
        }
        std::memcpy(field, text, std::size_t(n));
    }
    std::memset(field + n, 0, std::size_t(size - n));
}
}

void CZORComm::SetKpKiKd(float Kp, float Ki, float Kd)
{
    m_kp.store(Kp, std::memory_order_relaxed);
    m_ki.store(Ki, std::memory_order_relaxed);
    m_kd.store(Kd, std::memory_order_relaxed);
}

void CZORComm::SetControl(CTRLTYPE type, char* text)
{
    m_threadKind.store(THREAD_CTRL, std::memory_order_release);
    m_currentCtrl.store(type, std::memory_order_release);
    CopyText(m_ctrlText, kCtrlTextSize, text);
    // The old routine, watcher or loop, ends without its own ending: a loop's flag stays
    // as it was and the previous control is not updated.
    if (IsCommThreadRunning())
        m_worker.Terminate();
    if (GetEventMask() != EV_RXCHAR) {
        SetEventMask(0);
        SetEventMask(EV_RXCHAR);
    }
    if (!IsCommThreadRunning()) {
        LogText("创建响应等待监视线程...");
        StartWorker(THREAD_CTRL);
    }
}

int CZORComm::RetrieveAnVal(unsigned char& b)
{
    if (GetEventMask() != EV_RXCHAR) {
        SetEventMask(0);
        if (!SetEventMask(EV_RXCHAR))
            return 0;
    }
    DWORD events = 0;
    if (WaitEvent(events) && events == EV_RXCHAR)
        return ReadByte(b) ? 1 : 0;
    return 0;
}

int CZORComm::RetrieveTowVal(unsigned char& b1, unsigned char& b2)
{
    if (GetEventMask() != EV_RXCHAR) {
        SetEventMask(0);
        if (!SetEventMask(EV_RXCHAR))
            return 0;
    }
    DWORD events = 0;
    BYTE two[2];
    if (!(WaitEvent(events) && events == EV_RXCHAR) || ReadBytes(two, 2) != 2)
        return 0;
    b1 = two[0];
    b2 = two[1];
    return 1;
}

void CZORComm::NotifySample(LPARAM raw)
{
    if (HWND wnd = m_ackWnd.load(std::memory_order_acquire))
        SendMessage(wnd, WM_CTRL_SAMPLE, WPARAM(&m_ctrlShown), raw);
}

bool CZORComm::ControlPass(int mode, int index)
{
    BYTE b = 0;
    switch (mode) {
    case CTRL_TEMP: {
        if (!RetrieveAnVal(b))
            return false;
        float v = float(5.0 - (b / 128.0) * 2.5);
        m_ctrlShown = float(double(v) / 5.0 * 100.0);
        BYTE out = BYTE(CtrlTemperature1(v, index));
        bool ok = PurgeInput() && WriteByte(out);
        m_ctrlOutput.store(out, std::memory_order_release);
        NotifySample(0);
        return ok;
    }
    case CTRL_VILO: {
        if (!RetrieveAnVal(b))
            return false;
        m_ctrlRaw = b;
        float v = float(m_ctrlRaw / 256.0 * 5.0);
        m_ctrlShown = float(double(v) / 5.0 * 500.0);
        BYTE out = BYTE(CtrlVilocity(v, index));
        bool ok = PurgeInput() && WriteByte(out);
        m_ctrlOutput.store(out, std::memory_order_release);
        NotifySample(LPARAM(&m_ctrlRaw));
        return ok;
    }
    case CTRL_SMOTOR:
        PurgeInput();
        WriteByte(m_smotorDirection.load(std::memory_order_relaxed) ? kStepClockwise : kStepCounterClockwise);
        RetrieveAnVal(b);
        return true;
    default:
        return false;
    }
}

int CZORComm::BkCommCtrl()
{
    const int mode = GetCurrentCtrl();
    m_ctrlRunning.store(1, std::memory_order_release);
    m_running.store(0, std::memory_order_release);
    // No pass at all has failed nothing.
    bool last = true;
    int index = 0;
    while (index < m_sampleNums.load(std::memory_order_relaxed) && IsCtrlRunning()) {
        last = ControlPass(mode, index);
        if (last)
            ++index;
        // A device that has gone answers no pass again: failing each at once would spin.
        else if (IsPortGone())
            break;
        int period = m_period.load(std::memory_order_relaxed);
        Sleep(DWORD(period > 0 ? period : 0));
    }
    // A terminated loop must not reach its ending, even when it was cancelled between pauses.
    zorkit::CancellationPoint();
    m_previousCtrl.store(mode, std::memory_order_release);
    m_ctrlRunning.store(0, std::memory_order_release);
    // Called directly by the host, the loop must not free the slot of a worker that still runs.
    if (m_worker.IsCurrentThread() || !m_worker.IsRunning())
        m_worker.ClearSlot();
    return last ? 1 : 0;
}
