// A registered test template and a dialog that can act once its modal loop runs.
#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "zorkit/platform/ui/ButtonControl.h"
#include "zorkit/platform/ui/Dialog.h"
#include "zorkit/platform/ui/DialogTemplate.h"
#include "zorkit/platform/ui/EditControl.h"
#include "zorkit/platform/ui/Input.h"

namespace zorkit::test {

constexpr UINT kTestDialog = 900;
constexpr int kEditId = 101, kOtherButton = 102, kDisabledEdit = 103, kSecondEdit = 104;
constexpr UINT WM_TEST_ACT = WM_USER + 77;

// Caption, a label, two edits (one disabled), OK (default), Cancel and another button.
inline void RegisterTestTemplate(const std::string& font = "System", int points = 10)
{
    const DWORD tab = WS_VISIBLE | WS_TABSTOP;
    RegisterDialogTemplate(kTestDialog, DialogTemplate{
        WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, "Test", font, points, CRect(10, 10, 170, 90), {
            {"STATIC", "Name:", IDC_STATIC, WS_VISIBLE | SS_LEFT, CRect(4, 4, 40, 14)},
            {"EDIT", "first", kEditId, tab, CRect(44, 4, 150, 16)},
            {"EDIT", "off", kDisabledEdit, tab | WS_DISABLED, CRect(44, 20, 150, 32)},
            {"EDIT", "second", kSecondEdit, tab, CRect(44, 36, 150, 48)},
            {"BUTTON", "OK", IDOK, tab | BS_DEFPUSHBUTTON, CRect(4, 60, 50, 74)},
            {"BUTTON", "Cancel", IDCANCEL, tab, CRect(56, 60, 102, 74)},
            {"BUTTON", "More", kOtherButton, tab, CRect(108, 60, 154, 74)},
        }});
}

inline void Key(UINT vk)
{
    InjectInput({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, vk});
    InjectInput({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, vk});
}

// Runs `act` from inside its own message loop (a posted message), and records
// button commands, exchanges and the init call.
class ActingDialog : public CDialog {
public:
    explicit ActingDialog(CWnd* parent = nullptr) : CDialog(kTestDialog, parent) {}

    std::function<void(ActingDialog&)> act;
    std::vector<int> commands;
    int exchanges = 0;
    bool refuse = false;
    bool initialised = false;

    BOOL OnInitDialog() override
    {
        initialised = GetDlgItem(kEditId) != nullptr;
        PostMessage(WM_TEST_ACT);
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override
    {
        ++exchanges;
        dx->m_bFailed = refuse && dx->m_bSaveAndValidate;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(wParam) == BN_CLICKED)  // not the edits' notifications
            commands.push_back(LOWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    LRESULT OnAct(WPARAM, LPARAM)
    {
        if (act)
            act(*this);
        return 0;
    }

    static const CMessageMap* GetThisMessageMap()
    {
        static const CMessageMap map(&CDialog::GetThisMessageMap,
                                     {MapUserMessage(WM_TEST_ACT, &ActingDialog::OnAct)});
        return &map;
    }
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }
};

}
