// poll() for the serial lines: retried on EINTR, a cancellation point on a worker thread.
#pragma once

#include <poll.h>

#include <chrono>

namespace zorkit {

// The events that say a descriptor has ended rather than become ready.
constexpr short kLineEndEvents = POLLHUP | POLLERR | POLLNVAL;
// At most this many descriptors besides the worker's cancel token.
constexpr nfds_t kMaxPolled = 3;

// poll() over `count` descriptors (at most kMaxPolled) that also wakes when the
// calling worker is cancelled; returns poll's result and throws ThreadCancelled then.
int PollCancellable(pollfd* fds, nfds_t count, int timeoutMs);
// Milliseconds left until `deadline`, for poll().
int Remaining(std::chrono::steady_clock::time_point deadline);

}
