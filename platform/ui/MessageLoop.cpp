#include "zorkit/platform/ui/MessageLoop.h"

#include "zorkit/platform/core/Messaging.h"
#include "zorkit/platform/ui/internal/Desktop.h"
#include "zorkit/platform/ui/WinUser.h"

namespace {

thread_local zorkit::EventSource* t_source = nullptr;

}

namespace zorkit {

void SetEventSource(EventSource* source) { t_source = source; }

EventSource* GetEventSource() { return t_source; }

bool RunMessageLoop(const std::function<bool()>& done)
{
    Desktop::Instance().AttachToThread();
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                return false;
            }
            if (!AfxPreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            if (done())
                return true;
        }
        if (done())
            return true;
        long timeout = Desktop::Instance().MillisecondsUntilNext();
        if (t_source)
            t_source->WaitForEvents(timeout);
        else
            WaitForMessages(timeout);
    }
}

}
