// A window without a picture: a handle whose messages go to a function. A host
// that has no window system of its own registers one of these with a link
// (SetAckWnd) to be told when the board stops or a control sample arrives.
//
//   zorkit::CHostWindow sink([&](UINT msg, WPARAM, LPARAM) { ...; return 0; });
//   link.SetAckWnd(sink.GetSafeHwnd());
#pragma once

#include <functional>

#include "zorkit/platform/core/Messaging.h"

namespace zorkit {

class CHostWindow : public IMessageTarget {
public:
    using Handler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;

    explicit CHostWindow(Handler handler);
    ~CHostWindow();
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;

    HWND GetSafeHwnd() const { return m_hwnd; }
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Handler m_handler;
    HWND m_hwnd;
};

}
