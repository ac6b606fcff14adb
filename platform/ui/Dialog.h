// The framework's dialog box, made from a registered dialog template
// (DialogTemplate.h) in the "#32770" class: its controls are created in the
// template's font, sized in dialog units, and the dialog keyboard works inside it
// (Tab and Shift+Tab move through WS_TABSTOP controls, Return presses the default
// button or IDOK, Escape sends IDCANCEL).
//
//   CDialog dialog(IDD_PROMPT, mainWnd);
//   if (dialog.DoModal() == IDOK) ...          // a nested message loop until EndDialog
//
//   auto* panel = new CMyPanel;                // modeless: Create, then the host's loop
//   panel->Create(IDD_PANEL, mainWnd);
#pragma once

#include <cstdint>
#include <memory>

#include "zorkit/platform/core/MessageBox.h"
#include "zorkit/platform/ui/DataExchange.h"
#include "zorkit/platform/ui/Wnd.h"

// Dialog manager messages.
constexpr UINT DM_GETDEFID = WM_USER + 0, DM_SETDEFID = WM_USER + 1;
// The high word DM_GETDEFID answers with when there is a default button id.
constexpr WORD DC_HASDEFID = 0x534B;

typedef std::intptr_t INT_PTR;

// The dialog keyboard for `dialog`: TRUE when msg was a dialog key and was handled.
BOOL IsDialogMessage(HWND dialog, MSG* msg);
// The next (or previous) visible, enabled WS_TABSTOP control after `control`, wrapping
// around; the first one when control is null. Null when there is none.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Modal: creates the dialog, disables its owner and runs messages until EndDialog;
    // returns the EndDialog result, -1 when the template is missing or creation failed.
    virtual INT_PTR DoModal();
    // Modeless: creates the dialog (shown when the template says WS_VISIBLE).
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Ends a modal loop with `result`; a modeless dialog is hidden.
    void EndDialog(int result);

    // Runs after the controls exist and before the dialog shows; TRUE puts the focus on
    // the first tab stop.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    // Runs DoDataExchange; FALSE when the exchange refused the data.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    void SetDlgItemText(int id, LPCTSTR text);
    int GetDlgItemText(int id, LPTSTR buffer, int size) const;
    int GetDlgItemText(int id, CString& text) const;
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);
    void SetDefID(UINT id);
    DWORD GetDefID() const;
    // The dialog's font (from the template).
    CFont* GetDialogFont() const { return m_font.get(); }
    // Pixels of a rectangle given in dialog units of this dialog's font.
    void MapDialogRect(LPRECT rect) const;

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

protected:
    UINT m_nIDHelp = 0;    // the template id
    CWnd* m_pParentWnd = nullptr;

private:
    LRESULT HandleInitDialog(WPARAM, LPARAM);
    BOOL CreateFromTemplate(UINT templateId, CWnd* parent);
    CSize m_baseUnits;     // average character width and height of the font
    std::unique_ptr<CFont> m_font;
    UINT m_defId = IDOK;
    bool m_modal = false;
    bool m_modalDone = false;
    int m_modalResult = -1;
};
