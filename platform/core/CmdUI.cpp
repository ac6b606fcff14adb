#include "zorkit/platform/core/CmdUI.h"

#include "zorkit/platform/core/CmdTarget.h"

void CCmdUI::Enable(BOOL on)
{
    m_bEnabled = on;
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int check) { m_nCheck = check; }

void CCmdUI::SetText(LPCTSTR text)
{
    m_strText = text;
    m_bTextChanged = TRUE;
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler)
{
    m_bEnableChanged = FALSE;
    BOOL handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (disableIfNoHandler && !m_bEnableChanged) {
        // Enabled only when the command itself has a handler.
        BOOL hasHandler = target->OnCmdMsg(m_nID, CN_COMMAND, this, this);
        Enable(hasHandler);
    }
    return handled;
}
