// A single-line edit control (window class "EDIT"); the control's behaviour is the
// class's own, so a derived class (a grid's cell editor) handles messages first and
// passes them on with Default().
#pragma once

#include "zorkit/platform/ui/EditControl.h"
#include "zorkit/platform/ui/Wnd.h"

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Start and end of the selection; a start of -1 removes it, an end of -1 means the end.
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(LPCTSTR text, BOOL canUndo = FALSE);
    void LimitText(int maxChars = 0);
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    BOOL GetModify() const;
    void SetModify(BOOL modified = TRUE);
    void Copy();
    void Cut();
    void Paste();
    void Clear();
};
