#include "zorkit/platform/serial/SerialPort.h"

#include <cassert>
#include <chrono>

#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/serial/PortTable.h"
#include "zorkit/platform/serial/internal/Poll.h"
#include "zorkit/platform/serial/internal/SerialLine.h"

namespace zorkit {

const char* DescribeSerialOpenFailure(SerialOpenFailure failure)
{
    switch (failure) {
    case SerialOpenFailure::None: return "no failure";
    case SerialOpenFailure::NoSuchDevice: return "no such device";
    case SerialOpenFailure::PermissionDenied: return "permission denied";
    case SerialOpenFailure::Busy: return "in use by another program";
    case SerialOpenFailure::NotATerminal: return "not a serial device";
    case SerialOpenFailure::SettingsRefused: return "the device refused the line settings";
    case SerialOpenFailure::NoSuchHost: return "no such host";
    case SerialOpenFailure::ConnectionRefused: return "connection refused";
    case SerialOpenFailure::HostUnreachable: return "host unreachable";
    case SerialOpenFailure::NotRfc2217Server: return "not an RFC 2217 server";
    case SerialOpenFailure::SystemError: break;
    }
    return "the system refused to open it";
}

CSerialPort::CSerialPort() = default;

CSerialPort::~CSerialPort() { Close(); }

bool CSerialPort::Open(int index)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_line) {
        m_openFailure = SerialOpenFailure::Busy;
        return false;
    }
    std::string path = SerialPortPath(index);
    m_line = OpenSerialLine(path, m_openFailure);
    if (!m_line)
        return false;
    ++m_generation;
    m_path = path;
    ClearStagedLocked();
    m_hungUp.store(false, std::memory_order_release);
    m_eventMask.store(0, std::memory_order_release);
    m_open.store(true, std::memory_order_release);
    return true;
}

bool CSerialPort::Close()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_line)
        return false;
    ClearStagedLocked();
    bool closed = m_line->Close();
    m_line.reset();
    m_open.store(false, std::memory_order_release);
    // A waiter blocked on the old descriptor must look again and find the port closed.
    m_maskChanged.Signal();
    return closed;
}

CSerialPort::SettingsResult CSerialPort::ApplySettings(DWORD baud, bool baudOnly)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_line)
        return SettingsResult::NotReadable;
    return m_line->ApplySettings(baud, baudOnly);
}

bool CSerialPort::SetTimeouts(DWORD writeMultiplierMs, DWORD writeConstantMs)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_line)
        return false;
    m_writeMultiplierMs = writeMultiplierMs;
    m_writeConstantMs = writeConstantMs;
    return true;
}

bool CSerialPort::SetQueueSizes(DWORD, DWORD) { return IsOpen(); }

bool CSerialPort::SetDtr(bool on)
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_line && m_line->SetModemLine(CSerialLine::ModemLine::Dtr, on);
}

bool CSerialPort::SetRts(bool on)
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_line && m_line->SetModemLine(CSerialLine::ModemLine::Rts, on);
}

std::size_t CSerialPort::StagedLocked() const
{
    assert(m_stagedStart <= m_staged.size() &&
           "the staging window starts past its end: advance m_stagedStart only over bytes taken from m_staged");
    return m_staged.size() - m_stagedStart;
}

void CSerialPort::ClearStagedLocked()
{
    m_staged.clear();
    m_stagedStart = 0;
}

DWORD CSerialPort::QueuedInputLocked()
{
    // Only bytes taken in are counted: a network line's stream also carries commands.
    if (m_line)
        StageWaitingLocked();
    return DWORD(StagedLocked());
}

DWORD CSerialPort::QueuedInput()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return QueuedInputLocked();
}

DWORD CSerialPort::QueuedOutput()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_line ? m_line->QueuedOutput() : 0;
}

bool CSerialPort::PurgeInput()
{
    std::lock_guard<std::mutex> hold(m_lock);
    ClearStagedLocked();
    return PurgeLocked(true);
}

bool CSerialPort::PurgeOutput()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return PurgeLocked(false);
}

bool CSerialPort::PurgeLocked(bool input)
{
    if (!m_line)
        return false;
    bool ended = false;
    if (m_line->Purge(input ? CSerialLine::Queue::Input : CSerialLine::Queue::Output, ended))
        return true;
    if (ended)
        MarkHungUp();
    return false;
}

bool CSerialPort::StageWaitingLocked()
{
    if (StagedLocked() == 0)
        ClearStagedLocked();
    if (m_line->ReadWaiting(m_staged))
        return true;
    MarkHungUp();
    return false;
}

long CSerialPort::Read(BYTE* buffer, DWORD n)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_line)
        return -1;
    const bool alive = StagedLocked() >= n || StageWaitingLocked();
    DWORD done = 0;
    while (done < n && StagedLocked() > 0)
        buffer[done++] = m_staged[m_stagedStart++];
    return alive || done > 0 ? long(done) : -1;
}

long CSerialPort::Write(const BYTE* buffer, DWORD n)
{
    std::unique_lock<std::mutex> hold(m_lock);
    if (!m_line)
        return -1;
    const std::uint64_t generation = m_generation;
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::milliseconds(m_writeMultiplierMs * n + m_writeConstantMs);
    DWORD done = 0;
    // Done once the device has taken every byte, including the rest a line still holds.
    while (done < n || m_line->Unsent() > 0) {
        long put = m_line->WriteSome(buffer + done, n - done);
        if (put < 0) {
            MarkHungUp();
            return -1;
        }
        done += DWORD(put);
        if (put > 0)
            continue;
        int left = Remaining(deadline);
        if (left == 0)
            break;
        pollfd out{m_line->Fd(), short(POLLOUT | m_line->EndEvents()), 0};
        hold.unlock();
        PollCancellable(&out, 1, left);
        hold.lock();
        if (!StillOpenLocked(generation))
            return -1;
        if (out.revents & (kLineEndEvents | m_line->EndEvents())) {
            MarkHungUp();
            return -1;
        }
    }
    return long(done);
}

bool CSerialPort::WaitOutputEmpty(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (QueuedOutput() == 0)
            return true;
        if (GetTickCount() - start >= timeoutMs || IsHungUp())
            return false;
        // The kernel gives no wake-up for "output drained"; look again shortly.
        Sleep(1);
    }
}

DWORD CSerialPort::WaitForInput(DWORD count, DWORD timeoutMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        if (!m_line)
            return 0;
        DWORD waiting = QueuedInputLocked();
        if (waiting >= count || IsHungUp())
            return waiting;
        int left = Remaining(deadline);
        if (left == 0)
            return waiting;
        const std::uint64_t generation = m_generation;
        pollfd in{m_line->Fd(), short(POLLIN | m_line->EndEvents()), 0};
        hold.unlock();
        PollCancellable(&in, 1, left);
        hold.lock();
        if (!StillOpenLocked(generation))
            return 0;
        if (in.revents & POLLIN)
            StageWaitingLocked();
        else if (in.revents & (kLineEndEvents | m_line->EndEvents()))
            MarkHungUp();
    }
}

bool CSerialPort::CheckHangUp()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_line || IsHungUp())
        return true;
    pollfd in{m_line->Fd(), short(POLLIN | m_line->EndEvents()), 0};
    if (::poll(&in, 1, 0) > 0) {
        // A hung-up terminal also reads as readable (end of file): both are looked at.
        if (in.revents & POLLIN)
            StageWaitingLocked();
        if (in.revents & kLineEndEvents)
            MarkHungUp();
    }
    return IsHungUp();
}

bool CSerialPort::RemoteLineStates(BYTE& lineState, BYTE& modemState) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_line && m_line->RemoteStates(lineState, modemState);
}

bool CSerialPort::SetEventMask(DWORD mask)
{
    if (!IsOpen())
        return false;
    std::lock_guard<std::mutex> hold(m_lock);
    m_eventMask.store(mask, std::memory_order_release);
    const std::thread::id self = std::this_thread::get_id();
    if (!m_changePending) {
        m_changePending = true;
        m_changedByMany = false;
        m_changedBy = self;
    } else if (m_changedBy != self) {
        m_changedByMany = true;
    }
    m_maskChanged.Signal();
    return true;
}

void CSerialPort::ForgetMaskChanges()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_maskChanged.Drain();
    m_changePending = false;
}

bool CSerialPort::WaitEvent(DWORD& events)
{
    events = 0;
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        if (!m_line || IsHungUp())
            return false;
        DWORD mask = GetEventMask();
        bool wantChars = (mask & EV_RXCHAR) != 0;
        if (wantChars && StagedLocked() > 0) {
            events = EV_RXCHAR;
            return true;
        }
        const std::uint64_t generation = m_generation;
        const short endEvents = m_line->EndEvents();
        // POLLHUP is reported even with no events asked for, so a hang-up ends the wait;
        // a line whose end shows otherwise asks for that too.
        pollfd fds[2] = {{m_line->Fd(), short((wantChars ? POLLIN : 0) | endEvents), 0},
                         {m_maskChanged.Fd(), POLLIN, 0}};
        hold.unlock();
        PollCancellable(fds, 2, -1);
        hold.lock();
        if (fds[1].revents & POLLIN) {
            m_maskChanged.Drain();
            const bool own = m_changePending && !m_changedByMany && m_changedBy == std::this_thread::get_id();
            m_changePending = false;
            if (!own)
                return StillOpenLocked(generation);
            continue;
        }
        if (!StillOpenLocked(generation))
            return false;
        // A hung-up terminal also reports POLLIN; only bytes that can be read count.
        // A network line's input may hold only commands: then the wait goes on.
        if ((fds[0].revents & (POLLIN | endEvents)) && StageWaitingLocked() && StagedLocked() > 0) {
            if (wantChars) {
                events = EV_RXCHAR;
                return true;
            }
            continue;
        }
        if (fds[0].revents & (kLineEndEvents | endEvents)) {
            MarkHungUp();
            return false;
        }
    }
}

}
