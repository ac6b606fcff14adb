// What a dialog's DoDataExchange receives: the direction of the exchange and the
// dialog. Derived dialogs move their own values; the platform has no DDX helpers.
#pragma once

#include "zorkit/platform/core/WinTypes.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // TRUE: from the controls into the dialog's members; FALSE: the other way.
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    // A derived exchange sets this to refuse the data (OnOK then keeps the dialog open).
    BOOL m_bFailed = FALSE;
};
