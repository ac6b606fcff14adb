// A small modeless prompt for a file path: a line saying what the path is for, a field
// holding the path (all selected, so typing replaces it), and a hint. Enter hands the
// typed path to the host, which closes the prompt when the path served and leaves it
// open (the message line saying why) when it did not; Escape cancels. Like every
// CModeless it deletes itself when its window goes.
//
//   m_prompt = new CPathPromptDialog(this, "Open the 8051 source:", "/home/me/",
//       [this](const std::string& gbk) { if (Open(gbk)) ClosePrompt(); },  // DestroyWindow
//       [this] { ClosePrompt(); });
//   m_prompt->Create(this);
#pragma once

#include <functional>
#include <string>

#include "zorkit/dialogs/Modeless.h"

namespace zorstudio {

class CPathPromptDialog : public CModeless {
public:
    static constexpr UINT kTemplateId = 6201;
    static constexpr int IdPurpose = 6202, IdPath = 6203, IdHint = 6204;

    // purpose and path in GBK; onAccept gets the path as typed.
    CPathPromptDialog(CWnd* parent, std::string purpose, std::string path,
                      std::function<void(const std::string&)> onAccept, std::function<void()> onCancel);

    BOOL Create(CWnd* parent) override;
    std::string Purpose() const { return m_purpose; }
    std::string PathText() const;
    CWnd* PathField() { return GetDlgItem(IdPath); }
    // Puts the focus in the field with the whole path selected.
    void SelectPath();

    // Runs as the window goes, before the object deletes itself; also when the prompt
    // goes with its owner.
    std::function<void()> onGone;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

private:
    std::string m_purpose;
    std::string m_path;
    std::function<void(const std::string&)> m_onAccept;
    std::function<void()> m_onCancel;
};

}
