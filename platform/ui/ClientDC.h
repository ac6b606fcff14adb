// A DC on a window's client area for drawing outside WM_PAINT.
#pragma once

#include "zorkit/platform/ui/WindowDCs.h"

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};
