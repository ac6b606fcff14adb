// The tick counter and pauses. Sleep is a cancellation point on a worker thread
// (see CancelToken.h): a cancelled worker leaves its pause at once.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

// Milliseconds since an arbitrary start, from a monotonic clock; wraps after 49.7 days.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);

namespace zorkit {
// True once `deadline` (a GetTickCount value) has passed, correct across the wrap.
inline bool TickPassed(DWORD now, DWORD deadline) { return static_cast<std::int32_t>(now - deadline) >= 0; }
}
