#include "zorkit/platform/core/FileDescriptor.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace zorkit {

bool FileDescriptor::Reset()
{
    if (m_fd < 0)
        return true;
    // close() must not be retried on EINTR: the descriptor is gone either way.
    int result = ::close(std::exchange(m_fd, -1));
    return result == 0 || errno == EINTR;
}

WakeEvent::WakeEvent() : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (!m_fd.IsValid())
        m_creationError = errno;
}

void WakeEvent::Signal()
{
    std::uint64_t one = 1;
    while (::write(m_fd.Get(), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool WakeEvent::Drain()
{
    std::uint64_t count = 0;
    ssize_t got;
    while ((got = ::read(m_fd.Get(), &count, sizeof count)) < 0 && errno == EINTR) {
    }
    return got == sizeof count && count > 0;
}

}
