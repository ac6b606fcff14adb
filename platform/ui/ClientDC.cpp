#include "zorkit/platform/ui/ClientDC.h"

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr)
{
    if (zorkit::AttachWindowSurface(*this, m_hWnd, true, nullptr))
        zorkit::RegisterWindowDC(this);
}

CClientDC::~CClientDC() { zorkit::UnregisterWindowDC(this); }
