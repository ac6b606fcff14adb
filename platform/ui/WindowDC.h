// A DC on a whole window, borders and scroll bars included.
#pragma once

#include "zorkit/platform/ui/WindowDCs.h"

class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* wnd);
    ~CWindowDC() override;

protected:
    HWND m_hWnd;
};
