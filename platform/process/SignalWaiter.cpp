#include "zorkit/platform/process/SignalWaiter.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

namespace zorkit {

struct CSignalWaiter::Masks {
    sigset_t watched;
    sigset_t previous;
};

CSignalWaiter::CSignalWaiter(std::initializer_list<int> signals) : m_masks(new Masks)
{
    sigemptyset(&m_masks->watched);
    for (int signal : signals)
        sigaddset(&m_masks->watched, signal);
    pthread_sigmask(SIG_BLOCK, &m_masks->watched, &m_masks->previous);
}

CSignalWaiter::~CSignalWaiter()
{
    pthread_sigmask(SIG_SETMASK, &m_masks->previous, nullptr);
}

int CSignalWaiter::Wait()
{
    int signal = 0;
    return sigwait(&m_masks->watched, &signal) == 0 ? signal : -1;
}

void CSignalWaiter::Raise(int signal)
{
    ::kill(::getpid(), signal);
}

}
