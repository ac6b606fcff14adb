#include "zorkit/platform/serial/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "zorkit/platform/core/CancelToken.h"
#include "zorkit/platform/core/Time.h"
#include "zorkit/platform/serial/PortTable.h"

namespace zorkit {
namespace {

speed_t SpeedFor(DWORD baud)
{
    switch (baud) {
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
    }
}

bool ModemLine(int fd, int line, bool on)
{
    return ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

// Milliseconds left until `deadline`, for poll().
int Remaining(std::chrono::steady_clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

// poll() that retries on EINTR and, on a worker thread, also wakes on cancellation.
// Returns poll's result; throws ThreadCancelled when the worker was cancelled.
int PollCancellable(pollfd* fds, nfds_t count, int timeoutMs)
{
    CancelToken* token = CancelToken::Current();
    pollfd all[4];
    for (nfds_t i = 0; i < count; ++i)
        all[i] = fds[i];
    nfds_t total = count;
    if (token)
        all[total++] = pollfd{token->WakeFd(), POLLIN, 0};
    int result;
    do
        result = ::poll(all, total, timeoutMs);
    while (result < 0 && errno == EINTR);
    if (token)
        token->ThrowIfCancelled();
    for (nfds_t i = 0; i < count; ++i)
        fds[i].revents = all[i].revents;
    return result;
}

constexpr short kHangUp = POLLHUP | POLLERR | POLLNVAL;

SerialOpenFailure FailureFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO: return SerialOpenFailure::NoSuchDevice;
    case EACCES:
    case EPERM:
    case EROFS: return SerialOpenFailure::PermissionDenied;
    case EBUSY: return SerialOpenFailure::Busy;
    case EISDIR:
    case ENOTTY: return SerialOpenFailure::NotATerminal;
    default: return SerialOpenFailure::SystemError;
    }
}

}

const char* DescribeSerialOpenFailure(SerialOpenFailure failure)
{
    switch (failure) {
    case SerialOpenFailure::None: return "no failure";
    case SerialOpenFailure::NoSuchDevice: return "no such device";
    case SerialOpenFailure::PermissionDenied: return "permission denied";
    case SerialOpenFailure::Busy: return "in use by another program";
    case SerialOpenFailure::NotATerminal: return "not a serial device";
    case SerialOpenFailure::SettingsRefused: return "the device refused the line settings";
    case SerialOpenFailure::SystemError: break;
    }
    return "the system refused to open it";
}

CSerialPort::~CSerialPort() { Close(); }

bool CSerialPort::Open(int index)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_fd.IsValid()) {
        m_openFailure = SerialOpenFailure::Busy;
        return false;
    }
    std::string path = SerialPortPath(index);
    int fd;
    do
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_openFailure = FailureFromErrno(errno);
        return false;
    }
    FileDescriptor owner(fd);
    // Exclusive use: another program (or link) holding the port makes this open fail.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_openFailure = errno == EWOULDBLOCK ? SerialOpenFailure::Busy : FailureFromErrno(errno);
        return false;
    }
    // Anything else opens too (/dev/null, a file) but carries no serial line.
    if (!::isatty(fd)) {
        m_openFailure = SerialOpenFailure::NotATerminal;
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    m_openFailure = SerialOpenFailure::None;
    m_fd = std::move(owner);
    m_path = path;
    m_staged.clear();
    m_stagedStart = 0;
    m_hungUp.store(false, std::memory_order_release);
    m_eventMask.store(0, std::memory_order_release);
    return true;
}

bool CSerialPort::Close()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_fd.IsValid())
        return false;
    m_staged.clear();
    m_stagedStart = 0;
    // Exclusive mode outlives our descriptor while others hold the device open.
    if (::isatty(m_fd.Get()))
        ::ioctl(m_fd.Get(), TIOCNXCL);
    bool closed = m_fd.Reset();
    // A waiter blocked on the old descriptor must look again and find the port closed.
    m_maskChanged.Signal();
    return closed;
}

CSerialPort::SettingsResult CSerialPort::ApplySettings(DWORD baud, bool baudOnly)
{
    std::lock_guard<std::mutex> hold(m_lock);
    termios tio{};
    if (!m_fd.IsValid() || ::tcgetattr(m_fd.Get(), &tio) != 0)
        return SettingsResult::NotReadable;
    speed_t speed = SpeedFor(baud);
    if (speed == B0 || ::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
        return SettingsResult::WriteFailed;
    if (!baudOnly) {
        ::cfmakeraw(&tio);
        tio.c_cflag &= ~(CSIZE | PARENB | CRTSCTS | HUPCL);
        tio.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP | IGNBRK | BRKINT | PARMRK);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
    }
    int result;
    do
        result = ::tcsetattr(m_fd.Get(), TCSANOW, &tio);
    while (result != 0 && errno == EINTR);
    return result == 0 ? SettingsResult::Applied : SettingsResult::WriteFailed;
}

bool CSerialPort::SetTimeouts(DWORD writeMultiplierMs, DWORD writeConstantMs)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_fd.IsValid())
        return false;
    m_writeMultiplierMs = writeMultiplierMs;
    m_writeConstantMs = writeConstantMs;
    return true;
}

bool CSerialPort::SetQueueSizes(DWORD, DWORD) { return IsOpen(); }

bool CSerialPort::SetDtr(bool on)
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_fd.IsValid() && ModemLine(m_fd.Get(), TIOCM_DTR, on);
}

bool CSerialPort::SetRts(bool on)
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_fd.IsValid() && ModemLine(m_fd.Get(), TIOCM_RTS, on);
}

DWORD CSerialPort::QueuedInputLocked()
{
    DWORD staged = DWORD(m_staged.size() - m_stagedStart);
    int waiting = 0;
    if (m_fd.IsValid() && ::ioctl(m_fd.Get(), FIONREAD, &waiting) == 0 && waiting > 0)
        staged += DWORD(waiting);
    return staged;
}

DWORD CSerialPort::QueuedInput()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return QueuedInputLocked();
}

DWORD CSerialPort::QueuedOutput()
{
    std::lock_guard<std::mutex> hold(m_lock);
    int pending = 0;
    if (!m_fd.IsValid() || ::ioctl(m_fd.Get(), TIOCOUTQ, &pending) != 0 || pending < 0)
        return 0;
    return DWORD(pending);
}

bool CSerialPort::PurgeInput()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_staged.clear();
    m_stagedStart = 0;
    return FlushLocked(TCIFLUSH);
}

bool CSerialPort::PurgeOutput()
{
    std::lock_guard<std::mutex> hold(m_lock);
    return FlushLocked(TCOFLUSH);
}

bool CSerialPort::FlushLocked(int queue)
{
    if (!m_fd.IsValid())
        return false;
    if (::tcflush(m_fd.Get(), queue) == 0)
        return true;
    // A line that hung up before anybody waited on it is noticed here first.
    if (errno == EIO)
        MarkHungUp();
    return false;
}

bool CSerialPort::StageWaitingLocked()
{
    BYTE chunk[512];
    for (;;) {
        ssize_t got = ::read(m_fd.Get(), chunk, sizeof chunk);
        if (got > 0) {
            if (m_stagedStart == m_staged.size()) {
                m_staged.clear();
                m_stagedStart = 0;
            }
            m_staged.insert(m_staged.end(), chunk, chunk + got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // A raw terminal without VMIN/VTIME answers "nothing waiting" with 0.
        if (got == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
            return true;
        // EIO: the other end has gone.
        MarkHungUp();
        return false;
    }
}

long CSerialPort::Read(BYTE* buffer, DWORD n)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_fd.IsValid())
        return -1;
    DWORD done = 0;
    while (done < n && m_stagedStart < m_staged.size())
        buffer[done++] = m_staged[m_stagedStart++];
    while (done < n) {
        ssize_t got = ::read(m_fd.Get(), buffer + done, n - done);
        if (got > 0) {
            done += DWORD(got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        MarkHungUp();
        return done > 0 ? long(done) : -1;
    }
    return long(done);
}

long CSerialPort::Write(const BYTE* buffer, DWORD n)
{
    std::unique_lock<std::mutex> hold(m_lock);
    if (!m_fd.IsValid())
        return -1;
    int fd = m_fd.Get();
    auto deadline = std::chrono::steady_clock::now() +
                    std::chrono::milliseconds(m_writeMultiplierMs * n + m_writeConstantMs);
    DWORD done = 0;
    while (done < n) {
        ssize_t put = ::write(fd, buffer + done, n - done);
        if (put > 0) {
            done += DWORD(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            int left = Remaining(deadline);
            if (left == 0)
                break;
            pollfd out{fd, POLLOUT, 0};
            hold.unlock();
            PollCancellable(&out, 1, left);
            hold.lock();
            if (!m_fd.IsValid() || m_fd.Get() != fd)
                return -1;
            if (out.revents & kHangUp) {
                MarkHungUp();
                return -1;
            }
            continue;
        }
        MarkHungUp();
        return -1;
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
        if (!m_fd.IsValid())
            return 0;
        DWORD waiting = QueuedInputLocked();
        if (waiting >= count || IsHungUp())
            return waiting;
        int left = Remaining(deadline);
        if (left == 0)
            return waiting;
        int fd = m_fd.Get();
        pollfd in{fd, POLLIN, 0};
        hold.unlock();
        PollCancellable(&in, 1, left);
        hold.lock();
        if (!m_fd.IsValid() || m_fd.Get() != fd)
            return 0;
        if (in.revents & POLLIN)
            StageWaitingLocked();
        else if (in.revents & kHangUp)
            MarkHungUp();
    }
}

bool CSerialPort::CheckHangUp()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_fd.IsValid() || IsHungUp())
        return true;
    pollfd in{m_fd.Get(), POLLIN, 0};
    if (::poll(&in, 1, 0) > 0) {
        // A hung-up terminal also reads as readable (end of file): both are looked at.
        if (in.revents & POLLIN)
            StageWaitingLocked();
        if (in.revents & kHangUp)
            MarkHungUp();
    }
    return IsHungUp();
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
        if (!m_fd.IsValid() || IsHungUp())
            return false;
        DWORD mask = GetEventMask();
        bool wantChars = (mask & EV_RXCHAR) != 0;
        if (wantChars && m_stagedStart < m_staged.size()) {
            events = EV_RXCHAR;
            return true;
        }
        int fd = m_fd.Get();
        // POLLHUP is reported even with no events asked for, so a hang-up ends the wait.
        pollfd fds[2] = {{fd, short(wantChars ? POLLIN : 0), 0}, {m_maskChanged.Fd(), POLLIN, 0}};
        hold.unlock();
        PollCancellable(fds, 2, -1);
        hold.lock();
        if (fds[1].revents & POLLIN) {
            m_maskChanged.Drain();
            const bool own = m_changePending && !m_changedByMany && m_changedBy == std::this_thread::get_id();
            m_changePending = false;
            if (!own)
                return m_fd.IsValid() && m_fd.Get() == fd;
            continue;
        }
        if (!m_fd.IsValid() || m_fd.Get() != fd)
            return false;
        // A hung-up terminal also reports POLLIN; only bytes that can be read count.
        if ((fds[0].revents & POLLIN) && StageWaitingLocked() && m_stagedStart < m_staged.size()) {
            events = EV_RXCHAR;
            return true;
        }
        if (fds[0].revents & kHangUp) {
            MarkHungUp();
            return false;
        }
    }
}

}
