// CTextView clipboard and commands: copy, select all and the caret position pane.
#include "zorkit/editor/TextView.h"

#include <cstring>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/Clipboard.h"
#include "zorkit/platform/ui/Cursor.h"

namespace {

// Shows the wait cursor while it lives.
class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

}

void CTextView::GetText(const CPoint& start, const CPoint& end, CString& text)
{
    if (m_buffer)
        m_buffer->GetText(start, end, text);
    else
        text.Empty();
}

int CTextView::PutToClip(const char* text)
{
    if (!text || !*text)
        return FALSE;
    WaitCursor wait;
    if (!OpenClipboard(m_hWnd))
        return FALSE;
    EmptyClipboard();
    const std::size_t size = std::strlen(text) + 1;
    BOOL taken = FALSE;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size)) {
        std::memcpy(GlobalLock(block), text, size);
        GlobalUnlock(block);
        taken = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!taken)
            GlobalFree(block);
    }
    CloseClipboard();
    return taken;
}

int CTextView::GetFromClip(CString& text)
{
    if (!OpenClipboard(m_hWnd))
        return FALSE;
    BOOL copied = FALSE;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        auto block = static_cast<HGLOBAL>(data);
        if (const char* bytes = static_cast<const char*>(GlobalLock(block)); bytes && *bytes) {
            text = bytes;
            copied = TRUE;
        }
        GlobalUnlock(block);
    }
    CloseClipboard();
    return copied;
}

int CTextView::TextInClip() { return IsClipboardFormatAvailable(CF_TEXT); }

void CTextView::OnEditCopy()
{
    if (!IsSelection())
        return;
    CPoint start, end;
    GetWholeSelection(start, end);
    CString text;
    GetText(start, end, text);
    PutToClip(text);
}

void CTextView::OnUpdateEditCopy(CCmdUI* ui) { ui->Enable(IsSelection()); }

void CTextView::OnEditSelectAll()
{
    const int last = GetLineCount() - 1;
    CloseUndoGroup();
    m_cursorPos = CPoint(GetLineLength(last), last);
    SetSelection(CPoint(0, 0), m_cursorPos);
    UpdateCaret();
}

void CTextView::OnUpdateIndicatorCaret(CCmdUI* ui)
{
    static const std::string format = zorkit::GbkFromUtf8("%d 行，%d 列");
    CString text;
    text.Format(format.c_str(), m_indicatorPos.y + 1, m_indicatorPos.x + 1);
    ui->Enable(TRUE);
    ui->SetText(text);
}
