#include "zorkit/module/DialogTemplates.h"

#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/DialogTemplate.h"
#include "zorkit/platform/ui/Styles.h"

namespace zorkit {

void RegisterDialogTemplates()
{
    // 189 x 65 units without a caption; the layout inside follows the text's four
    // lines, the rule and the two-line port text.
    const DWORD kText = WS_VISIBLE | SS_CENTER | SS_NOPREFIX;
    DialogTemplate prompt{WS_POPUP | WS_BORDER | DS_MODALFRAME | DS_CENTER | DS_SETFONT, 0, "", "System", 10,
                          CRect(0, 0, 189, 65), {}};
    prompt.items = {
        {"STATIC", GbkFromUtf8("\n请按实验箱上的复位键\n\n（Esc键取消单片机复位操作）"), IDC_STATIC, kText,
         CRect(0, 2, 189, 36)},
        {"STATIC", "", IDC_STATIC, WS_VISIBLE | SS_ETCHEDHORZ, CRect(7, 39, 182, 40)},
        {"STATIC", "", int(IDC_PORT_AND_BAUD), kText, CRect(0, 43, 189, 63)},
    };
    RegisterDialogTemplate(IDD_RESET_PROMPT, std::move(prompt));
}

void UnregisterDialogTemplates() { UnregisterDialogTemplate(IDD_RESET_PROMPT); }

}
