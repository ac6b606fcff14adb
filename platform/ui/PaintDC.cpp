#include "zorkit/platform/ui/PaintDC.h"

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->GetSafeHwnd()) { zorkit::BeginPaintOn(*this, m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() { zorkit::EndPaintOn(*this, m_hWnd, &m_ps); }
