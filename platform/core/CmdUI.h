// What a command update handler is given: the command's id and the user-interface
// item (menu entry, button, status-bar pane) it stands for. The base class keeps
// what the handler asked for, so a host or a test can read it back; an item's own
// class overrides the setters to change the item.
#pragma once

#include "zorkit/platform/core/CString.h"

class CCmdTarget;

class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL on = TRUE);
    virtual void SetCheck(int check = 1);
    virtual void SetRadio(BOOL on = TRUE) { SetCheck(on ? 1 : 0); }
    virtual void SetText(LPCTSTR text);

    // Asks `target` to update this item; when nobody handles the command and
    // disableIfNoHandler is set, the item is disabled. TRUE when a handler ran.
    BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    BOOL m_bEnableChanged = FALSE;

    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
    BOOL m_bTextChanged = FALSE;
    CString m_strText;
};
