#include "tools/zorstudio/ui/PathPromptDialog.h"

#include <utility>

#include "tools/zorstudio/Translation.h"
#include "zorkit/platform/ui/DialogTemplate.h"
#include "zorkit/platform/ui/EditControl.h"
#include "zorkit/platform/ui/Styles.h"

namespace zorstudio {
namespace {

// The template, registered once, at the first prompt: 260 x 50 dialog units.
void RegisterTemplate()
{
    static const bool registered = [] {
        const DWORD text = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
        zorkit::RegisterDialogTemplate(CPathPromptDialog::kTemplateId, zorkit::DialogTemplate{
            WS_POPUP | WS_BORDER | DS_MODALFRAME | DS_CENTER | DS_SETFONT, 0, "", "System", 10,
            CRect(0, 0, 260, 50), {
                {"STATIC", "", CPathPromptDialog::IdPurpose, text, CRect(7, 5, 253, 15)},
                {"EDIT", "", CPathPromptDialog::IdPath, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
                 CRect(7, 17, 253, 30)},
                {"STATIC", "", CPathPromptDialog::IdHint, text, CRect(7, 35, 253, 45)},
            }});
        return true;
    }();
    (void)registered;
}

}

CPathPromptDialog::CPathPromptDialog(CWnd* parent, std::string purpose, std::string path,
                                     std::function<void(const std::string&)> onAccept, std::function<void()> onCancel)
    : CModeless(kTemplateId, parent), m_purpose(std::move(purpose)), m_path(std::move(path)),
      m_onAccept(std::move(onAccept)), m_onCancel(std::move(onCancel))
{
}

BOOL CPathPromptDialog::Create(CWnd* parent)
{
    RegisterTemplate();
    return CModeless::Create(parent);
}

BOOL CPathPromptDialog::OnInitDialog()
{
    CModeless::OnInitDialog();
    SetDlgItemText(IdPurpose, m_purpose.c_str());
    SetDlgItemText(IdHint, TrGbk("Enter accepts, Esc cancels").c_str());
    SetDlgItemText(IdPath, m_path.c_str());
    SelectPath();
    return FALSE;
}

void CPathPromptDialog::SelectPath() { GotoDlgCtrl(PathField()); }

void CPathPromptDialog::PostNcDestroy()
{
    if (auto gone = std::exchange(onGone, nullptr))
        gone();
    CModeless::PostNcDestroy();
}

std::string CPathPromptDialog::PathText() const
{
    CString text;
    GetDlgItemText(IdPath, text);
    return text.str();
}

void CPathPromptDialog::OnOK()
{
    // The host may close the prompt, which deletes this object: nothing of it is used after.
    if (auto accept = m_onAccept)
        accept(PathText());
}

void CPathPromptDialog::OnCancel()
{
    CModeless::OnCancel();
    if (auto cancel = m_onCancel)
        cancel();
}

}
