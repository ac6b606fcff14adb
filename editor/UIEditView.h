// CUIEditView: the editable text view. Typed characters, Enter (with automatic
// indentation), Tab, Backspace and Delete edit the attached buffer at the cursor; cut
// and paste go through the clipboard. A read-only buffer makes it behave as a plain
// CTextView: the arrow keys still move, nothing edits.
//
//   CUIEditView* editor = ...;            // a splitter pane, or Create(...) as a child
//   editor->AttachToBuffer(&buffer);
//   editor->OnEditInsert("mov a,#1\r\n");
#pragma once

#include "zorkit/editor/TextView.h"

class CUIEditView : public CTextView {
    DECLARE_DYNCREATE(CUIEditView)
public:
    CUIEditView();

    virtual void OnDelete();
    virtual void OnDeleteBack();
    // Replaces the selection (if any) by text at the cursor and puts the cursor after it.
    virtual void OnEditInsert(const char* text);
    // What follows an inserted line break: the new line takes the indentation of the
    // line above.
    virtual void OnEditOperation();
    virtual void OnTab();
    virtual int QueryEditable();
    void ResetView() override;

    int GetAutoIndent() const { return m_autoIndent; }
    void SetAutoIndent(int autoIndent) { m_autoIndent = autoIndent; }
    // Only reported: a typed character is always inserted.
    int GetOverwriteMode() const { return m_overwrite; }
    void SetOverwriteMode(int overwrite) { m_overwrite = overwrite; }
    // Sets the attached buffer's read-only flag, shared by all its views.
    void SetReadOnly(int readOnly);
    // Puts the cursor at the selection's start and deletes the selected text, widened to
    // whole characters.
    int DeleteCurrentSelection();

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override;

    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnEditCut();
    void OnUpdateEditCut(CCmdUI* ui);
    void OnEditPaste();
    void OnUpdateEditPaste(CCmdUI* ui);
    // Undo 0xE12B and redo 0xE12C take back and put back the buffer's edits, whichever
    // view made them; the cursor goes where the edit was.
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* ui);
    void OnEditRedo();
    void OnUpdateEditRedo(CCmdUI* ui);

protected:
    // Where a NUL byte first stands in the text from start to end, or end without one.
    CPoint FirstNulOrEnd(CPoint start, CPoint end) const;

    BOOL m_autoIndent = TRUE;
    BOOL m_overwrite = FALSE;
    int m_pendingLead = -1;  // the first byte of a double-byte character being typed
};
