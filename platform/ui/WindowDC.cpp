#include "zorkit/platform/ui/WindowDC.h"

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr)
{
    if (zorkit::AttachWindowSurface(*this, m_hWnd, false, nullptr))
        zorkit::RegisterWindowDC(this);
}

CWindowDC::~CWindowDC() { zorkit::UnregisterWindowDC(this); }
