#include "zorkit/platform/serial/internal/NetworkConnect.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "zorkit/platform/serial/internal/Poll.h"

namespace zorkit {
namespace {

struct AddrInfoFree {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoFree>;

// getaddrinfo() has no deadline of its own: it runs on a thread of its own that
// outlives an abandoned lookup and frees what it found then.
AddrInfoList LookUp(const NetworkAddress& address, int timeoutMs)
{
    auto result = std::make_shared<std::promise<AddrInfoList>>();
    std::future<AddrInfoList> found = result->get_future();
    std::thread([result, host = address.host, port = address.port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
        addrinfo* list = nullptr;
        if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &list) != 0)
            list = nullptr;
        result->set_value(AddrInfoList(list));
    }).detach();
    if (found.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready)
        return nullptr;
    return found.get();
}

SerialOpenFailure FailureFromConnectError(int error)
{
    return error == ECONNREFUSED ? SerialOpenFailure::ConnectionRefused : SerialOpenFailure::HostUnreachable;
}

// One address: 0 when connected, else the reason (ETIMEDOUT when the deadline passed).
int ConnectOne(int fd, const addrinfo& address, std::chrono::steady_clock::time_point deadline)
{
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS && errno != EINTR)
        return errno;
    pollfd out{fd, POLLOUT, 0};
    if (PollCancellable(&out, 1, Remaining(deadline)) == 0)
        return ETIMEDOUT;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno;
    return error;
}

// A server that vanishes without closing (its cable pulled) is found out within
// about ten seconds of silence, as a hang-up.
void TuneSocket(int fd)
{
    int on = 1, idle = 5, interval = 2, probes = 3;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

}

bool ParseNetworkAddress(const std::string& name, NetworkAddress& address)
{
    static const std::string telnetScheme = "rfc2217://", rawScheme = "tcp://";
    std::string rest;
    if (name.compare(0, telnetScheme.size(), telnetScheme) == 0) {
        address.telnet = true;
        rest = name.substr(telnetScheme.size());
    } else if (name.compare(0, rawScheme.size(), rawScheme) == 0) {
        address.telnet = false;
        rest = name.substr(rawScheme.size());
    } else {
        return false;
    }
    std::size_t colon;
    if (!rest.empty() && rest[0] == '[') {
        std::size_t close = rest.find(']');
        if (close == std::string::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return false;
        address.host = rest.substr(1, close - 1);
        colon = close + 1;
    } else {
        colon = rest.rfind(':');
        if (colon == std::string::npos)
            return false;
        address.host = rest.substr(0, colon);
        if (address.host.find(':') != std::string::npos)
            return false;
    }
    address.port = rest.substr(colon + 1);
    if (address.host.empty() || address.port.empty() || address.port.size() > 5 ||
        address.port.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long number = std::stol(address.port);
    return number >= 1 && number <= 65535;
}

FileDescriptor ConnectWithin(const NetworkAddress& address, int lookupMs, int connectMs, SerialOpenFailure& failure)
{
    AddrInfoList list = LookUp(address, lookupMs);
    if (!list) {
        failure = SerialOpenFailure::NoSuchHost;
        return FileDescriptor();
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(connectMs);
    int error = EHOSTUNREACH;
    for (const addrinfo* each = list.get(); each; each = each->ai_next) {
        FileDescriptor fd(::socket(each->ai_family, each->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, each->ai_protocol));
        if (!fd.IsValid())
            continue;
        error = ConnectOne(fd.Get(), *each, deadline);
        if (error == 0) {
            TuneSocket(fd.Get());
            failure = SerialOpenFailure::None;
            return fd;
        }
        if (Remaining(deadline) == 0)
            break;
    }
    failure = FailureFromConnectError(error);
    return FileDescriptor();
}

}
