#include "zorkit/platform/core/HostWindow.h"

namespace zorkit {

CHostWindow::CHostWindow(Handler handler) : m_handler(std::move(handler)), m_hwnd(RegisterMessageTarget(this)) {}

CHostWindow::~CHostWindow() { UnregisterMessageTarget(m_hwnd); }

LRESULT CHostWindow::HandleMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_handler ? m_handler(message, wParam, lParam) : 0;
}

}
