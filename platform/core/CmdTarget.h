// The framework's command target: the base of everything that receives commands.
// A class answers commands through its message map (MessageMap.h); classes without
// handlers (a text buffer, say) keep the empty map they inherit.
#pragma once

#include "zorkit/platform/core/MessageMap.h"
#include "zorkit/platform/core/RuntimeClass.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Runs the handler for command `id`: nCode is CN_COMMAND or a control's
    // notification code (pExtra unused), CN_UPDATE_COMMAND_UI (pExtra: the CCmdUI*)
    // or CN_NOTIFY (pExtra: a zorkit::NotifyExtra* whose header names the code).
    // TRUE when a handler was found.
    virtual BOOL OnCmdMsg(UINT id, int nCode, void* pExtra, void* pHandlerInfo);

    static const CMessageMap* GetThisMessageMap();
    virtual const CMessageMap* GetMessageMap() const;

protected:
    // The handler of window message `message` in this object's maps, or null.
    const zorkit::MessageMapEntry* FindMessageEntry(UINT message) const;
};
