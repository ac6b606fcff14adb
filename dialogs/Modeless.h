// A base for modeless dialogs made from a host's dialog template. It remembers the
// template id, so Create needs only the parent; OK (Return) leaves it open and runs no
// data exchange; Cancel (Escape, the close box) only hides it; and it deletes itself
// when its window is destroyed, so a host allocates it with new and never deletes it.
//
//   auto* panel = new CMyPanel(IDD_PANEL, mainWnd);   // CMyPanel : public CModeless
//   panel->Create(mainWnd);
//   ...
//   panel->DestroyWindow();                           // the object is gone now
#pragma once

#include "zorkit/platform/ui/Dialog.h"

class CModeless : public CDialog {
public:
    CModeless(UINT templateId, CWnd* parent);
    ~CModeless() override;

    virtual BOOL Create(CWnd* parent);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void PostNcDestroy() override;
    void OnOK() override;
    void OnCancel() override;

    UINT m_nID;  // the template id
};
