// Uses the installed umbrella header and library: a link to a port that does not
// exist must come up unconnected, and its error reaches a recorded message box.
#include <zorkit/zorkit.h>

#include <cstdio>

int main()
{
    zorkit::SetMessageBoxEcho(false);
    zorkit::SetSerialPortPath(0, "/nonexistent/zorkit-consumer-port");
    CZORComm link(CZORComm::CPU_8051, 0, 0);
    if (link.IsActive() || link.IsZORConnect() || zorkit::RecordedMessageBoxes().size() != 1) {
        std::puts("unexpected link state");
        return 1;
    }
    std::puts("consumer ok");
    return 0;
}
