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

    // Runs as the window goes, before the object deletes itself; also when the prompt
    // goes with its owner, which hears of it only after.
    std::function<void()> onGone;

protected:
    void OnCancel() override;
    void PostNcDestroy() override;

private:
    std::function<void()> m_onCancel;
};

}
