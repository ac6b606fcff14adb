// The DC of a WM_PAINT handler: it begins painting (erasing the background if asked)
// and clips to the invalid area; its destruction ends painting.
#pragma once

#include "zorkit/platform/ui/WindowDCs.h"

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};
