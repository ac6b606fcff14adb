#include "tools/zorstudio/ui/ResetPromptDialog.h"

#include <utility>

#include "zorkit/module/ResourceIds.h"

namespace zorstudio {

CResetPromptDialog::CResetPromptDialog(CWnd* parent, std::function<void()> onCancel)
    : CModeless(zorkit::IDD_RESET_PROMPT, parent), m_onCancel(std::move(onCancel))
{
}

void CResetPromptDialog::SetPortText(const std::string& gbk)
{
    if (CWnd* text = GetDlgItem(int(zorkit::IDC_PORT_AND_BAUD)))
        text->SetWindowText(gbk.c_str());
}

void CResetPromptDialog::OnCancel()
{
    CModeless::OnCancel();
    if (m_onCancel)
        m_onCancel();
}

void CResetPromptDialog::PostNcDestroy()
{
    if (auto gone = std::exchange(onGone, nullptr))
        gone();
    CModeless::PostNcDestroy();
}

}
