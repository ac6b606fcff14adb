#include "tests/sim/HostLine.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "sim/BoardProtocol.h"

namespace zorkit::sim::test {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

}

CHostLine::CHostLine(const std::string& path)
    : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
{
}

bool CHostLine::Send(const std::vector<BYTE>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t put = ::write(m_fd.Get(), bytes.data() + done, bytes.size() - done);
        if (put > 0) {
            done += std::size_t(put);
            continue;
        }
        if (put < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        pollfd fd{m_fd.Get(), POLLOUT, 0};
        if (::poll(&fd, 1, int(kPatience.count())) <= 0)
            return false;
    }
    return true;
}

std::vector<BYTE> CHostLine::Receive(std::size_t count, std::chrono::milliseconds timeout)
{
    Clock::time_point deadline = Clock::now() + timeout;
    std::vector<BYTE> got;
    while (got.size() < count) {
        BYTE buffer[512];
        std::size_t want = std::min(sizeof buffer, count - got.size());
        ssize_t n = ::read(m_fd.Get(), buffer, want);
        if (n > 0) {
            got.insert(got.end(), buffer, buffer + n);
            continue;
        }
        // With VMIN = VTIME = 0 a raw terminal reads 0 bytes when none are waiting.
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
        int left = MillisecondsLeft(deadline);
        if (left == 0)
            break;
        pollfd fd{m_fd.Get(), POLLIN, 0};
        if (::poll(&fd, 1, left) > 0 && (fd.revents & POLLHUP))
            break;
    }
    return got;
}

bool CHostLine::WaitHangUp(std::chrono::milliseconds timeout)
{
    Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        pollfd fd{m_fd.Get(), POLLIN, 0};
        int ready = ::poll(&fd, 1, MillisecondsLeft(deadline));
        if (ready > 0 && (fd.revents & (POLLHUP | POLLERR)))
            return true;
        if (ready > 0 && (fd.revents & POLLIN)) {
            // Bytes still in flight before the hang-up are not what the caller waits for.
            BYTE buffer[256];
            if (::read(m_fd.Get(), buffer, sizeof buffer) < 0 && errno == EIO)
                return true;
            continue;
        }
        if (ready == 0 || MillisecondsLeft(deadline) == 0)
            return false;
    }
}

std::vector<BYTE> Frame(BYTE code, const std::vector<BYTE>& parameters)
{
    std::vector<BYTE> frame{BYTE(parameters.size() + 2), code};
    frame.insert(frame.end(), parameters.begin(), parameters.end());
    frame.push_back(Checksum(frame.data() + 1, frame.size() - 1));
    return frame;
}

std::vector<BYTE> Block(const std::vector<BYTE>& data)
{
    std::vector<BYTE> block = data;
    block.push_back(Checksum(data.data(), data.size()));
    return block;
}

std::vector<BYTE> EchoBytes()
{
    std::vector<BYTE> bytes;
    for (int value = 0; value <= 0xFF; ++value)
        bytes.push_back(BYTE(value));
    return bytes;
}

std::vector<BYTE> Concat(std::vector<BYTE> first, const std::vector<BYTE>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

}
