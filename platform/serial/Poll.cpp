#include "zorkit/platform/serial/internal/Poll.h"

#include <cassert>
#include <cerrno>

#include "zorkit/platform/core/CancelToken.h"

namespace zorkit {

int PollCancellable(pollfd* fds, nfds_t count, int timeoutMs)
{
    assert(count <= kMaxPolled && "PollCancellable watches at most kMaxPolled descriptors: raise kMaxPolled for more");
    CancelToken* token = CancelToken::Current();
    pollfd all[kMaxPolled + 1];
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

int Remaining(std::chrono::steady_clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

}
