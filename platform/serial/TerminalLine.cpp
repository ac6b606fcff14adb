#include "zorkit/platform/serial/internal/TerminalLine.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

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

std::unique_ptr<CSerialLine> CTerminalLine::Open(const std::string& path, SerialOpenFailure& failure)
{
    int fd;
    do
        fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        failure = FailureFromErrno(errno);
        return nullptr;
    }
    FileDescriptor owner(fd);
    // Exclusive use: another program (or link) holding the port makes this open fail.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        failure = errno == EWOULDBLOCK ? SerialOpenFailure::Busy : FailureFromErrno(errno);
        return nullptr;
    }
    // Anything else opens too (/dev/null, a file) but carries no serial line.
    if (!::isatty(fd)) {
        failure = SerialOpenFailure::NotATerminal;
        return nullptr;
    }
    ::ioctl(fd, TIOCEXCL);
    failure = SerialOpenFailure::None;
    return std::unique_ptr<CSerialLine>(new CTerminalLine(std::move(owner)));
}

bool CTerminalLine::ReadWaiting(std::vector<BYTE>& into)
{
    BYTE chunk[512];
    for (;;) {
        ssize_t got = ::read(m_fd.Get(), chunk, sizeof chunk);
        if (got > 0) {
            into.insert(into.end(), chunk, chunk + got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        // A raw terminal without VMIN/VTIME answers "nothing waiting" with 0.
        if (got == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
            return true;
        // EIO: the other end has gone.
        return false;
    }
}

long CTerminalLine::WriteSome(const BYTE* data, DWORD n)
{
    for (;;) {
        ssize_t put = ::write(m_fd.Get(), data, n);
        if (put >= 0)
            return long(put);
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

DWORD CTerminalLine::QueuedOutput()
{
    int pending = 0;
    if (::ioctl(m_fd.Get(), TIOCOUTQ, &pending) != 0 || pending < 0)
        return 0;
    return DWORD(pending);
}

CSerialPort::SettingsResult CTerminalLine::ApplySettings(DWORD baud, bool baudOnly)
{
    termios tio{};
    if (::tcgetattr(m_fd.Get(), &tio) != 0)
        return CSerialPort::SettingsResult::NotReadable;
    speed_t speed = SpeedFor(baud);
    if (speed == B0 || ::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
        return CSerialPort::SettingsResult::WriteFailed;
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
    return result == 0 ? CSerialPort::SettingsResult::Applied : CSerialPort::SettingsResult::WriteFailed;
}

bool CTerminalLine::SetModemLine(ModemLine line, bool on)
{
    int bits = line == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return ::ioctl(m_fd.Get(), on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

bool CTerminalLine::Purge(Queue queue, bool& ended)
{
    if (::tcflush(m_fd.Get(), queue == Queue::Input ? TCIFLUSH : TCOFLUSH) == 0)
        return true;
    // A line that hung up before anybody waited on it is noticed here first.
    ended = errno == EIO;
    return false;
}

bool CTerminalLine::Close()
{
    // Exclusive mode outlives our descriptor while others hold the device open.
    if (::isatty(m_fd.Get()))
        ::ioctl(m_fd.Get(), TIOCNXCL);
    return m_fd.Reset();
}

}
