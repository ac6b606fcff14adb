// The framework's command target: the base of everything that can receive
// commands. The window system adds the message-map machinery here.
#pragma once

#include "platform/core/RuntimeClass.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;
};
