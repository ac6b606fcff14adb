// The one path prompt of the window (File > Open..., Save As..., Line > Device
// path...): asks for a path and hands it, as typed, to the command that asked. A typed
// path starting ~/ is in the home directory; a relative one is taken from the current
// directory. The prompt stays open while the path did not serve.
//
//   prompter.Ask(Tr("Save the source as:"), initial, [&](const std::filesystem::path& p) { return Save(p); });
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "tools/zorstudio/ui/StudioRequests.h"

namespace zorstudio {

class CPathPromptDialog;

class CPathPrompter {
public:
    CPathPrompter(CWnd& owner, CStudioRequests& requests) : m_owner(owner), m_requests(requests) {}
    CPathPrompter(const CPathPrompter&) = delete;
    CPathPrompter& operator=(const CPathPrompter&) = delete;
    ~CPathPrompter() { Close(); }

    // Shows the prompt in place of one shown; accept runs the command and says whether
    // the prompt may close. False (and a message) when it cannot be shown.
    bool Ask(const std::string& purpose, const std::filesystem::path& initial,
             std::function<bool(const std::filesystem::path&)> accept);
    void Close();
    // Selects the typed path for another try, when the prompt is shown.
    void Retry();
    // The prompt while it is shown, else null.
    CPathPromptDialog* Window() const { return m_prompt; }

private:
    CWnd& m_owner;
    CStudioRequests& m_requests;
    // It deletes itself with its window.
    CPathPromptDialog* m_prompt = nullptr;
};

}
