#include "zorkit/platform/core/Time.h"

#include <chrono>
#include <thread>

#include "zorkit/platform/core/CancelToken.h"

DWORD GetTickCount()
{
    using namespace std::chrono;
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void Sleep(DWORD milliseconds)
{
    if (zorkit::CancelToken* token = zorkit::CancelToken::Current()) {
        token->WaitFor(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
