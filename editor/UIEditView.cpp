#include "zorkit/editor/UIEditView.h"

#include <cstring>
#include <string>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/ui/Keys.h"
#include "zorkit/platform/ui/MessageCrackers.h"

IMPLEMENT_DYNCREATE(CUIEditView, CTextView)

namespace {

// White space that automatic indentation copies; bytes from 0x80 up never are.
bool IsIndentByte(char ch) { return ch == ' ' || (ch >= 0x09 && ch <= 0x0D); }

}

const CMessageMap* CUIEditView::GetThisMessageMap()
{
    static const CMessageMap map(&CTextView::GetThisMessageMap, {
        zorkit::MapMessage<WM_CHAR>(&CUIEditView::OnChar),
        zorkit::MapMessage<WM_KEYDOWN>(&CUIEditView::OnKeyDown),
        zorkit::MapCommand(ID_EDIT_CUT, &CUIEditView::OnEditCut),
        zorkit::MapUpdateCommandUI(ID_EDIT_CUT, &CUIEditView::OnUpdateEditCut),
        zorkit::MapCommand(ID_EDIT_PASTE, &CUIEditView::OnEditPaste),
        zorkit::MapUpdateCommandUI(ID_EDIT_PASTE, &CUIEditView::OnUpdateEditPaste),
        zorkit::MapCommand(ID_EDIT_UNDO, &CUIEditView::OnEditUndo),
        zorkit::MapUpdateCommandUI(ID_EDIT_UNDO, &CUIEditView::OnUpdateEditUndo),
        zorkit::MapCommand(ID_EDIT_REDO, &CUIEditView::OnEditRedo),
        zorkit::MapUpdateCommandUI(ID_EDIT_REDO, &CUIEditView::OnUpdateEditRedo),
    });
    return &map;
}

const CMessageMap* CUIEditView::GetMessageMap() const { return GetThisMessageMap(); }

CUIEditView::CUIEditView() = default;

void CUIEditView::ResetView()
{
    m_autoIndent = TRUE;
    m_overwrite = FALSE;
    m_pendingLead = -1;
    CTextView::ResetView();
}

void CUIEditView::SetReadOnly(int readOnly)
{
    if (m_buffer)
        m_buffer->SetReadOnly(readOnly);
}

int CUIEditView::QueryEditable() { return m_buffer && !m_buffer->GetReadOnly(); }

void CUIEditView::OnChar(UINT ch, UINT repeat, UINT flags)
{
    CTextView::OnChar(ch, repeat, flags);
    if (!m_buffer || !QueryEditable())
        return;
    // A character typed while a button is down would land where the drag is going.
    if (GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0)
        return;
    // A double-byte character arrives as two messages, one byte each. It goes in whole:
    // its first byte alone could pair with the byte after the cursor, and the second
    // would then land inside that pair. A first byte without a second is dropped.
    const int lead = m_pendingLead;
    m_pendingLead = -1;
    if (lead >= 0 && ch <= 0xFF && zorkit::IsGbkTrailByte(static_cast<unsigned char>(ch))) {
        const char typed[3] = {char(lead), char(ch), '\0'};
        OnEditInsert(typed);
    } else if (ch <= 0xFF && zorkit::IsGbkLeadByte(static_cast<unsigned char>(ch))) {
        m_pendingLead = int(ch);
    } else if (ch == '\r') {
        // The line break and its indentation are undone together.
        m_buffer->BeginUndoGroup();
        OnEditInsert("\r\n");
        OnEditOperation();
        m_buffer->EndUndoGroup();
    } else if (ch > 0x1F && ch <= 0xFF) {
        const char typed[2] = {char(ch), '\0'};
        OnEditInsert(typed);
    }
}

void CUIEditView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (!m_buffer || !QueryEditable()) {
        CTextView::OnKeyDown(key, repeat, flags);
        return;
    }
    switch (key) {
    case VK_BACK: OnDeleteBack(); break;
    case VK_TAB: OnTab(); break;
    case VK_INSERT: m_overwrite = !m_overwrite; break;
    case VK_DELETE: OnDelete(); break;
    default: CTextView::OnKeyDown(key, repeat, flags); break;
    }
}

void CUIEditView::OnEditInsert(const char* text)
{
    if (!m_buffer)
        return;
    // Text typed over a selection replaces it in one undo step.
    m_buffer->BeginUndoGroup();
    if (IsSelection())
        DeleteCurrentSelection();
    // Text never goes between the two bytes of a character.
    CPoint end;
    if (m_buffer->InsertText(this, text, CharacterEnd(m_cursorPos), end))
        SetCursorPos(end);
    m_buffer->EndUndoGroup();
}

void CUIEditView::OnEditOperation()
{
    if (!m_autoIndent || m_cursorPos.y <= 0)
        return;
    const char* above = GetLineChars(m_cursorPos.y - 1);
    const int length = GetLineLength(m_cursorPos.y - 1);
    int indent = 0;
    while (above && indent < length && IsIndentByte(above[indent]))
        ++indent;
    if (indent > 0)
        OnEditInsert(std::string(above, std::size_t(indent)).c_str());
}

void CUIEditView::OnTab() { OnEditInsert("\t"); }

void CUIEditView::OnDelete()
{
    if (!m_buffer)
        return;
    if (IsSelection()) {
        DeleteCurrentSelection();
        return;
    }
    // The character at the cursor, whole, also when the cursor stands inside it.
    const CPoint at = CharacterStart(m_cursorPos);
    const int length = GetLineLength(at.y);
    if (at.x < length)
        m_buffer->DeleteText(this, at, CPoint(zorkit::NextGbkBoundary(GetLineChars(at.y), length, at.x), at.y));
    else if (at.y + 1 < GetLineCount())
        m_buffer->DeleteText(this, at, CPoint(0, at.y + 1));
}

void CUIEditView::OnDeleteBack()
{
    if (!m_buffer)
        return;
    if (IsSelection()) {
        DeleteCurrentSelection();
        return;
    }
    // The character before the cursor, whole; inside a character, that character.
    CPoint at = ClampToText(m_cursorPos);
    CPoint from = CharacterStart(at);
    if (from != at)
        at = CharacterEnd(at);
    else if (at.x > 0)
        from.x = zorkit::PrevGbkBoundary(GetLineChars(at.y), GetLineLength(at.y), at.x);
    else if (at.y > 0)
        from = CPoint(GetLineLength(at.y - 1), at.y - 1);
    else
        return;
    if (m_buffer->DeleteText(this, from, at))
        SetCursorPos(from);
}

int CUIEditView::DeleteCurrentSelection()
{
    CPoint start, end;
    GetWholeSelection(start, end);
    SetCursorPos(start);
    if (m_buffer)
        m_buffer->DeleteText(this, start, end);
    return TRUE;
}

void CUIEditView::OnEditCut()
{
    if (!QueryEditable() || !IsSelection())
        return;
    CPoint start, end;
    GetWholeSelection(start, end);
    CString text;
    GetText(start, end, text);
    // Text the clipboard refused stays in the buffer rather than being lost, and so
    // does the text after a NUL byte, where the clipboard's text ends.
    if (!PutToClip(text))
        return;
    end = FirstNulOrEnd(start, end);
    SetCursorPos(start);
    m_buffer->DeleteText(this, start, end);
}

CPoint CUIEditView::FirstNulOrEnd(CPoint start, CPoint end) const
{
    for (int line = start.y; line <= end.y; ++line) {
        const int from = line == start.y ? start.x : 0;
        const int to = line == end.y ? end.x : GetLineLength(line);
        const char* chars = GetLineChars(line);
        if (const void* nul = chars && to > from ? std::memchr(chars + from, '\0', std::size_t(to - from)) : nullptr)
            return CPoint(int(static_cast<const char*>(nul) - chars), line);
    }
    return end;
}

void CUIEditView::OnUpdateEditCut(CCmdUI* ui) { ui->Enable(IsSelection()); }

void CUIEditView::OnEditPaste()
{
    if (!QueryEditable() || !TextInClip())
        return;
    // Nothing to paste changes nothing, not even the selection.
    CString text;
    if (GetFromClip(text))
        OnEditInsert(text);
}

void CUIEditView::OnUpdateEditPaste(CCmdUI* ui) { ui->Enable(TextInClip()); }

void CUIEditView::OnEditUndo()
{
    CPoint cursor;
    if (QueryEditable() && m_buffer->Undo(cursor))
        SetCursorPos(cursor);
}

void CUIEditView::OnUpdateEditUndo(CCmdUI* ui) { ui->Enable(QueryEditable() && m_buffer->CanUndo()); }

void CUIEditView::OnEditRedo()
{
    CPoint cursor;
    if (QueryEditable() && m_buffer->Redo(cursor))
        SetCursorPos(cursor);
}

void CUIEditView::OnUpdateEditRedo(CCmdUI* ui) { ui->Enable(QueryEditable() && m_buffer->CanRedo()); }
