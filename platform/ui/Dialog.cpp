#include "zorkit/platform/ui/Dialog.h"

#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/ui/ButtonControl.h"
#include "zorkit/platform/ui/DialogTemplate.h"
#include "zorkit/platform/ui/EditControl.h"
#include "zorkit/platform/ui/MessageLoop.h"
#include "zorkit/platform/ui/internal/WindowTree.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c)
{
    long long product = static_cast<long long>(a) * b;
    long long half = c / 2;
    return int(product >= 0 ? (product + half) / c : (product - half) / c);
}

// The font's average character width and height, which dialog units are made of.
CSize BaseUnits(CFont& font)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&font);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    int width = dc.GetTextExtent(kAlphabet, 52).cx;
    return CSize((width / 26 + 1) / 2, tm.tmHeight);
}

}

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    if (m_hWnd)
        DestroyWindow();
}

const CMessageMap* CDialog::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {
        zorkit::MapCommand(IDOK, &CDialog::OnOK),
        zorkit::MapCommand(IDCANCEL, &CDialog::OnCancel),
        zorkit::MapUserMessage(WM_INITDIALOG, &CDialog::HandleInitDialog),
    });
    return &map;
}

const CMessageMap* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

void CDialog::MapDialogRect(LPRECT rect) const
{
    rect->left = MulDiv(rect->left, m_baseUnits.cx, 4);
    rect->right = MulDiv(rect->right, m_baseUnits.cx, 4);
    rect->top = MulDiv(rect->top, m_baseUnits.cy, 8);
    rect->bottom = MulDiv(rect->bottom, m_baseUnits.cy, 8);
}

BOOL CDialog::CreateFromTemplate(UINT templateId, CWnd* parent)
{
    const zorkit::DialogTemplate* t = zorkit::FindDialogTemplate(templateId);
    if (!t || m_hWnd)
        return FALSE;
    m_nIDHelp = templateId;
    m_pParentWnd = parent;
    auto font = std::make_unique<CFont>();
    if (!font->CreatePointFont(t->pointSize * 10, t->fontName.empty() ? "System" : t->fontName.c_str()))
        return FALSE;
    m_font = std::move(font);
    m_baseUnits = BaseUnits(*m_font);

    CRect frame = t->rect;
    MapDialogRect(&frame);
    HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
    if (owner && !(t->style & DS_CENTER)) {
        CPoint origin(0, 0);
        ::ClientToScreen(owner, &origin);
        frame.OffsetRect(origin.x, origin.y);
    }
    DWORD style = t->style & ~(WS_VISIBLE | WS_CHILD);
    if (!CreateEx(t->exStyle, WC_DIALOG, t->caption.c_str(), style, frame, parent, 0))
        return FALSE;
    if (t->style & DS_CENTER)
        CenterWindow();

    for (const zorkit::DialogItemTemplate& item : t->items) {
        if (!zorkit::FindWindowClass(item.className.c_str()))
            continue;
        CRect place = item.rect;
        MapDialogRect(&place);
        CREATESTRUCT cs{nullptr, nullptr, UINT(item.id), m_hWnd, place.Height(), place.Width(), place.top,
                        place.left, LONG(item.style | WS_CHILD), item.text.c_str(), item.className.c_str(),
                        item.exStyle};
        // The window system deletes the control's object with its window.
        HWND control = zorkit::CreateWindowFor(new CWnd, cs, true);
        if (control)
            ::SendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(HFONT(*m_font)), FALSE);
        if (!m_hWnd)
            return FALSE;
    }
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if ((::GetWindowLong(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            (::SendMessage(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
            m_defId = UINT(::GetDlgCtrlID(child));

    HWND first = GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    if (SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0) && m_hWnd) {
        if (HWND focus = GetNextDlgTabItem(m_hWnd, nullptr, FALSE))
            GotoDlgCtrl(FromHandle(focus));
    }
    if (m_hWnd && (t->style & WS_VISIBLE))
        ShowWindow(SW_SHOW);
    return m_hWnd != nullptr;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : ::GetActiveWindow();
    if (CWnd* ownerWnd = FromHandle(owner))
        owner = ownerWnd->GetTopLevelParent()->GetSafeHwnd();
    m_modal = true;
    m_modalDone = false;
    m_modalResult = -1;
    if (!CreateFromTemplate(m_nIDHelp, FromHandle(owner))) {
        m_modal = false;
        return -1;
    }
    bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);
    if (!m_modalDone && m_hWnd)
        ShowWindow(SW_SHOW);
    zorkit::RunMessageLoop([this] { return m_modalDone || !m_hWnd; });
    // The owner comes back before the dialog goes, so that it gets the activation.
    if (disableOwner)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd)
        ShowWindow(SW_HIDE);
    if (owner && ::IsWindow(owner))
        ::SetActiveWindow(owner);
    DestroyWindow();
    m_modal = false;
    return m_modalResult;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_modal = false;
    return CreateFromTemplate(templateId, parent ? parent : m_pParentWnd);
}

void CDialog::EndDialog(int result)
{
    m_modalResult = result;
    if (m_modal)
        m_modalDone = true;
    else if (m_hWnd)
        ShowWindow(SW_HIDE);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

void CDialog::SetDlgItemText(int id, LPCTSTR text) { ::SetWindowText(::GetDlgItem(m_hWnd, id), text); }

int CDialog::GetDlgItemText(int id, LPTSTR buffer, int size) const
{
    return ::GetWindowText(::GetDlgItem(m_hWnd, id), buffer, size);
}

int CDialog::GetDlgItemText(int id, CString& text) const
{
    text.Empty();
    CWnd* item = GetDlgItem(id);
    if (!item)
        return 0;
    item->GetWindowText(text);
    return text.GetLength();
}

void CDialog::NextDlgCtrl() const
{
    if (HWND next = GetNextDlgTabItem(m_hWnd, ::GetFocus(), FALSE))
        ::SetFocus(next);
}

void CDialog::PrevDlgCtrl() const
{
    if (HWND previous = GetNextDlgTabItem(m_hWnd, ::GetFocus(), TRUE))
        ::SetFocus(previous);
}

void CDialog::GotoDlgCtrl(CWnd* control)
{
    if (!control)
        return;
    control->SetFocus();
    if (control->SendMessage(WM_GETDLGCODE) & DLGC_HASSETSEL)
        control->SendMessage(EM_SETSEL, 0, -1);
}

void CDialog::SetDefID(UINT id) { SendMessage(DM_SETDEFID, id); }

DWORD CDialog::GetDefID() const { return DWORD(SendMessage(DM_GETDEFID)); }

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    return IsDialogMessage(m_hWnd, msg);
}

// What the desktop's dialog procedure adds to the default handling.
LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        ::SendMessage(m_hWnd, WM_COMMAND, MAKEWPARAM(WORD(IDCANCEL), WORD(BN_CLICKED)),
                      reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDCANCEL)));
        return 0;
    case DM_GETDEFID:
        return MAKELONG(WORD(m_defId), DC_HASDEFID);
    case DM_SETDEFID: {
        HWND old = ::GetDlgItem(m_hWnd, int(m_defId));
        m_defId = UINT(wParam);
        if (old)
            ::SendMessage(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        if (HWND now = ::GetDlgItem(m_hWnd, int(m_defId)))
            ::SendMessage(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        return TRUE;
    }
    case WM_GETFONT:
        return m_font ? reinterpret_cast<LRESULT>(HFONT(*m_font)) : 0;
    default:
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
}
