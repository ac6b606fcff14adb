// The reset prompt: dialog 5002 shown while the link waits for the board's reset key,
// its static 5003 showing the port and baud rate. Escape (or closing it) cancels the
// wait through the host. It deletes itself when its window goes (a CModeless).
#pragma once

#include <functional>
#include <string>

#include "zorkit/dialogs/Modeless.h"

namespace zorstudio {

class CResetPromptDialog : public CModeless {
public:
    CResetPromptDialog(CWnd* parent, std::function<void()> onCancel);

    // The port and baud line, GBK.
    void SetPortText(const std::string& gbk);

protected:
    void OnCancel() override;

private:
    std::function<void()> m_onCancel;
};

}
