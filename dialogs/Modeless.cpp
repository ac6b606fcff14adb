#include "zorkit/dialogs/Modeless.h"

CModeless::CModeless(UINT templateId, CWnd* parent) : CDialog(templateId, parent), m_nID(templateId) {}

CModeless::~CModeless() = default;

BOOL CModeless::Create(CWnd* parent) { return CDialog::Create(m_nID, parent); }

void CModeless::DoDataExchange(CDataExchange* dx) { CDialog::DoDataExchange(dx); }

void CModeless::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    delete this;
}

void CModeless::OnOK() {}

void CModeless::OnCancel() { ShowWindow(SW_HIDE); }
