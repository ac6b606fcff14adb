// The line to the board and its reset: the list of lines (the virtual board, the
// serial devices, the one used last first) and of baud rates that drop down under the
// Port button, a device path typed in the path prompt, connecting, and the prompt that
// waits for the board's reset button. A chosen line is remembered in the settings.
//
//   CLineChooser lines(window, menuBar, prompter, requests);
//   lines.onLinkChanged = [&] { showTheLinkState(); };
//   lines.ChoosePort();
#pragma once

#include <functional>
#include <memory>

#include "tools/zorstudio/ui/MenuBar.h"
#include "tools/zorstudio/ui/PathPrompter.h"
#include "tools/zorstudio/ui/PortList.h"
#include "tools/zorstudio/ui/StudioRequests.h"

namespace zorstudio {

class CResetPromptDialog;

class CLineChooser {
public:
    CLineChooser(CWnd& window, CMenuBar& menuBar, CPathPrompter& prompter, CStudioRequests& requests)
        : m_window(window), m_menuBar(menuBar), m_prompter(prompter), m_requests(requests) {}
    CLineChooser(const CLineChooser&) = delete;
    CLineChooser& operator=(const CLineChooser&) = delete;

    // Shows (or, shown, closes) the list of lines under the Port button.
    void ChoosePort();
    // Asks for a serial device's path and opens it at the rate in use.
    bool ChooseDevicePath();
    // Shows (or, shown, closes) the list of baud rates under the Port button.
    void ChooseBaudRate();
    // Reopens the session on the line, remembers it in the settings and connects;
    // the message line tells when the line cannot be opened or the board does not answer.
    bool ChooseLine(const CLineChoice& choice);
    // The list of lines, or of baud rates, while it is shown, else null.
    CDropDownList* ListWindow();
    CPortList* PortListWindow();
    CBaudList* BaudListWindow();
    // Hides the list shown; false when none is.
    bool HideList();

    bool Connect();
    bool AwaitReset();
    void CancelReset();
    // Shows the reset prompt while the session waits for a reset, and only then.
    void SyncResetPrompt();
    // The reset prompt while it is shown, else null.
    CResetPromptDialog* ResetPromptWindow() { return m_resetPrompt; }
    void CloseResetPrompt();

    // The session's line or its state changed.
    std::function<void()> onLinkChanged;

private:
    // Shows list under the Port button in place of the one there; failure is the
    // message when it cannot be shown.
    void ShowList(std::unique_ptr<CDropDownList> list, const char* failure);
    void LinkChanged();

    CWnd& m_window;
    CMenuBar& m_menuBar;
    CPathPrompter& m_prompter;
    CStudioRequests& m_requests;
    // Kept hidden after a choice until the next list: it cannot go while its click runs.
    std::unique_ptr<CDropDownList> m_list;
    // It deletes itself with its window.
    CResetPromptDialog* m_resetPrompt = nullptr;
};

}
