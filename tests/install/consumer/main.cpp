// Uses the installed umbrella header and library: a link to a port that does not
// exist must come up unconnected, and its error reaches a recorded message box.
// Built with ZORKIT_CONSUMER_EXPECTS_SDL, it also needs the on-screen backend, which the
// umbrella header declares only when the package's flags define ZORKIT_HAS_SDL.
#include <zorkit/zorkit.h>

#include <cstdio>

// Every class the library exports, named through the umbrella header alone: the
// consumer does not compile when the header leaves one out or only declares it.
template <class... Exported>
constexpr bool Complete()
{
    return ((sizeof(Exported) > 0) && ...);
}
static_assert(Complete<CZORComm, CDisassemble, CGraph, DRAW, DATA, SAMPLES, CTextBuf, CTextView, CUIEditView, CGridCtrl,
                    CCellID, CCellRange, CGridCtrl::GV_ITEM, CModeless>());

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
    // The editing view links too, and works over a buffer without a window.
    CTextBuf buffer;
    CUIEditView editor;
    editor.AttachToBuffer(&buffer);
    if (editor.GetOverwriteMode() || !editor.GetAutoIndent()) {
        std::puts("unexpected editing view state");
        return 1;
    }
    std::puts("consumer ok");
    return 0;
}
