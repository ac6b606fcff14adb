#include "zorkit/platform/serial/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace zorkit {
namespace {

using Clock = std::chrono::steady_clock;

// Rounded up: a wait that ends before its deadline leaves its caller to spin on a 0 ms wait.
int MillisecondsLeft(Clock::time_point deadline)
{
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

constexpr short kBroken = POLLERR | POLLHUP | POLLNVAL;

}

BOOL CPseudoTerminal::Fail(const char* what, int error)
{
    m_errorNumber = error;
    m_error = std::string(what) + ": " + std::strerror(error);
    return FALSE;
}

BOOL CPseudoTerminal::Open(OpenMode mode)
{
    HangUp();
    if (m_wake.Fd() < 0)
        return Fail("eventfd", m_wake.CreationError());
    FileDescriptor master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!master.IsValid())
        return Fail("posix_openpt");
    if (::grantpt(master.Get()) != 0)
        return Fail("grantpt");
    if (::unlockpt(master.Get()) != 0)
        return Fail("unlockpt");
    char name[128];
    if (::ptsname_r(master.Get(), name, sizeof name) != 0)
        return Fail("ptsname_r");
    FileDescriptor keeper(::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!keeper.IsValid())
        return Fail(name);
    termios tio{};
    if (::tcgetattr(keeper.Get(), &tio) != 0)
        return Fail("tcgetattr");
    // Raw: no echo back to the board, no line editing, no CR/LF translation.
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::tcsetattr(keeper.Get(), TCSANOW, &tio) != 0)
        return Fail("tcsetattr");
    m_master = std::move(master);
    // The settings stay with the pair when the slave closes.
    if (mode == KEEP_SLAVE_OPEN)
        m_keeper = std::move(keeper);
    m_slavePath = name;
    m_error.clear();
    m_errorNumber = 0;
    return TRUE;
}

void CPseudoTerminal::HangUp()
{
    // The slave ends see the hang-up once the master is gone.
    m_master.Reset();
    m_keeper.Reset();
    m_slavePath.clear();
}

long CPseudoTerminal::Read(BYTE* buffer, std::size_t n)
{
    if (!m_master.IsValid())
        return -1;
    for (;;) {
        ssize_t got = ::read(m_master.Get(), buffer, n);
        if (got >= 0)
            return long(got);
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        if (errno != EINTR)
            return -1;
    }
}

std::size_t CPseudoTerminal::Write(const BYTE* buffer, std::size_t n, int timeoutMs)
{
    if (!m_master.IsValid())
        return 0;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < n) {
        ssize_t put = ::write(m_master.Get(), buffer + done, n - done);
        if (put > 0) {
            done += std::size_t(put);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            break;
        int left = MillisecondsLeft(deadline);
        if (left == 0)
            break;
        pollfd room{m_master.Get(), POLLOUT, 0};
        int ready = ::poll(&room, 1, left);
        if ((ready < 0 && errno != EINTR) || (ready > 0 && (room.revents & kBroken)))
            break;
    }
    return done;
}

CPseudoTerminal::WaitResult CPseudoTerminal::WaitReadable(int timeoutMs)
{
    if (!m_master.IsValid())
        return WAIT_FAILED;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd fds[2] = {{m_master.Get(), POLLIN, 0}, {m_wake.Fd(), POLLIN, 0}};
    int ready;
    for (;;) {
        ready = ::poll(fds, 2, timeoutMs < 0 ? -1 : MillisecondsLeft(deadline));
        if (ready >= 0 || errno != EINTR)
            break;
    }
    if (ready < 0)
        return WAIT_FAILED;
    if (fds[1].revents & POLLIN) {
        m_wake.Drain();
        return WAIT_WOKEN;
    }
    if (fds[0].revents & POLLIN)
        return WAIT_READY;
    if ((fds[0].revents & POLLHUP) && !m_keeper.IsValid())
        return WAIT_NO_CLIENT;
    if (fds[0].revents & kBroken)
        return WAIT_FAILED;
    return WAIT_TIMEOUT;
}

bool CPseudoTerminal::WaitWoken(int timeoutMs)
{
    pollfd wake{m_wake.Fd(), POLLIN, 0};
    if (::poll(&wake, 1, timeoutMs) <= 0)
        return false;
    m_wake.Drain();
    return true;
}

BOOL CPseudoTerminal::HasClient() const
{
    if (!m_master.IsValid())
        return FALSE;
    if (m_keeper.IsValid())
        return TRUE;
    // The master reports a hang-up while no slave is open.
    pollfd master{m_master.Get(), 0, 0};
    return ::poll(&master, 1, 0) >= 0 && !(master.revents & POLLHUP);
}

}
