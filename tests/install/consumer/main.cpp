// Uses the installed umbrella header and library: a link to a port that does not
// exist must come up unconnected, and its error reaches a recorded message box.
// Built with ZORKIT_CONSUMER_EXPECTS_SDL, it also needs the on-screen backend, which the
// umbrella header declares only when the package's flags define ZORKIT_HAS_SDL.
#include <zorkit/zorkit.h>

#include <cstdio>

#if defined(ZORKIT_CONSUMER_EXPECTS_SDL) && !defined(ZORKIT_HAS_SDL)
#error "the package has the on-screen backend, but its compile flags do not define ZORKIT_HAS_SDL"
#endif

int main()
{
    zorkit::SetMessageBoxEcho(false);
    zorkit::SetSerialPortPath(0, "/nonexistent/zorkit-consumer-port");
    CZORComm link(CZORComm::CPU_8051, 0, 0);
    if (link.IsActive() || link.IsZORConnect() || zorkit::RecordedMessageBoxes().size() != 1) {
        std::puts("unexpected link state");
        return 1;
    }
#ifdef ZORKIT_CONSUMER_EXPECTS_SDL
    // Declared only in OnScreen.h; the kept address also needs the backend to link.
    std::unique_ptr<zorkit::ScreenSession> (*volatile start)() = &zorkit::ScreenSession::Start;
    (void)start;
#endif
    std::puts("consumer ok");
    return 0;
}
