// The text of one document as an array of lines, shared by any number of views.
// Bytes pass through unchanged (GBK text included); positions count bytes.
//
//   CTextBuf buffer;
//   if (!buffer.LoadFromFile("main.asm")) buffer.InitNew();
//   view.AttachToBuffer(&buffer);            // the view calls AddView
//   CPoint end;
//   buffer.InsertText(&view, "mov a,#1\r\n", CPoint(0, 0), end);
//   buffer.SaveToFile("main.asm", TRUE);
//
// Positions outside the text are refused: editing calls return FALSE, readers return
// 0, null or an empty string, and nothing changes. A buffer may hold no lines at all
// (a zero-byte file): readers then answer as for a line that is not there, and
// InsertText at (0, 0) first creates the one empty line that such a buffer shows.
//
// Every InsertText and DeleteText is kept for Undo and Redo; a load, InitNew, FreeAll
// and the building calls forget the history, as does an edit too large for it.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "zorkit/editor/LineRecord.h"
#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/core/CmdTarget.h"
#include "zorkit/platform/core/Geometry.h"

class CTextView;
class CUndoHistory;
class CUpdateContext;
struct TextPiece;
struct UndoStep;
struct UndoText;

// Line flag bits the views show as margin markers and line colours; the buffer only
// stores them, and any other bit is the host's.
constexpr unsigned long LINEMARK_ARROW = 0x00010000;
constexpr unsigned long LINEMARK_RING = 0x00020000;
constexpr unsigned long LINEMARK_DOT = 0x00040000;
constexpr unsigned long LINEMARK_TRIANGLE = 0x00080000;

// Update hints passed with UpdateViews.
constexpr unsigned long TBU_WIDTH = 0x0001;     // line lengths changed
constexpr unsigned long TBU_LINECOUNT = 0x0002; // the number of lines changed
constexpr unsigned long TBU_ONELINE = 0x0100;   // only the given line changed
constexpr unsigned long TBU_LINEFLAGS = 0x0200; // the given line's flags changed
constexpr unsigned long TBU_RESET = 0x1000;     // the whole text was replaced

class CTextBuf : public CCmdTarget {
    DECLARE_DYNCREATE(CTextBuf)
public:
    CTextBuf();
    // Detaches the views still attached: they show no text from then on.
    ~CTextBuf() override;
    CTextBuf(const CTextBuf&) = delete;
    CTextBuf& operator=(const CTextBuf&) = delete;

    int GetLineCount() const;
    int GetLineLength(int line) const;
    // The line's own bytes, GetLineLength of them, not NUL-terminated.
    char* GetLineChars(int line) const;
    unsigned long GetLineFlags(int line) const;
    int GetReadOnly() const;
    int IsModified() const;
    // The text from start to end, lines joined by CR LF, cut at its first NUL byte.
    void GetText(CPoint start, CPoint end, CString& text) const;

    // Building text: no notification, the modified flag stays.
    // Inserts a line before position, or at the end for -1 (null bytes with count 0: empty).
    void InsertLine(const char* bytes, int count, int position);
    void InsertLine(const char* text);
    // Appends to the end of line, or adds a new last line when line is past the end.
    void AppendLine(const char* bytes, int line, int count);
    void AppendLine(const char* text, int line);
    // Appends to the last line (creating line 0 in an empty buffer); starts no new line.
    void AppendLine(const char* text);

    // Adds one empty line, clears the read-only flag and the modified flag, resets the views.
    int InitNew();
    void FreeAll();
    // Lines end at CR LF or LF LF; any other CR or LF is dropped. The read-only flag
    // follows the file. FALSE leaves the lines as they were.
    int LoadFromFile(const char* fileName);
    // Writes every line followed by CR LF; the previous file survives a failed save.
    int SaveToFile(const char* fileName, int clearModified);

    // Editing: notifies every view and sets the modified flag. A CR or CR LF in text
    // starts a new line, a lone LF stays in the line. end receives the position after
    // the inserted text.
    int InsertText(CTextView* source, const char* text, CPoint pos, CPoint& end);
    int DeleteText(CTextView* source, CPoint start, CPoint end);

    // Sets (set nonzero) or clears mask; unchanged when the line already has any of
    // the bits (or none of them, when clearing). A change is sent to the views.
    void SetLineFlags(int line, unsigned long mask, int set);
    void SetReadOnly(int readOnly);
    // Clearing the flag also marks the text as the saved one: undoing or redoing back to
    // it clears the flag again, and away from it sets the flag.
    virtual void SetModified(int modified);

    // Undo takes back the newest step, Redo puts back the step undone last; a new edit
    // forgets what could be redone. cursor receives where the caret belongs: after an
    // undo, at the start of the removed text or the end of the restored text; after a
    // redo, where the edit itself left it. The views are told as for any edit, with no
    // source view. FALSE, with nothing changed, on a read-only buffer or when there is
    // nothing to undo (redo). FALSE too when a step stops part-way, for want of memory
    // or because a view edited while it was told of the step: what was done stays, and
    // the history is forgotten.
    BOOL CanUndo() const;
    BOOL CanRedo() const;
    BOOL Undo(CPoint& cursor);
    BOOL Redo(CPoint& cursor);
    // Typed characters (insertions of one character, CR excepted, each where the one
    // before ended) make one step until another edit, an undo or redo, SetModified(FALSE)
    // or this call, which a view makes when the user moves the caret (not when an edit
    // moves it through UpdateView). A run may go on from a group that ended with a
    // typed character.
    void CloseUndoGroup();
    // The edits between the two calls are one step; pairs may nest. An undo or redo
    // ends any open pair.
    void BeginUndoGroup();
    void EndUndoGroup();
    // Bytes the history may use for text out of the buffer and its bookkeeping
    // (32 MiB to begin with). To stay within it the history forgets the redo steps
    // furthest away, then the oldest undo steps; a deletion larger than the limit
    // cannot be undone, and nothing before it either.
    void SetUndoLimit(std::size_t bytes);

    // A view attaches itself through AddView; a view listed here otherwise must leave
    // with RemoveView before it goes, or outlive the buffer.
    void AddView(CTextView* view);
    void RemoveView(CTextView* view);
    // Calls UpdateView of every attached view, oldest first, the source included.
    void UpdateViews(CTextView* source, CUpdateContext* context, unsigned long hints, int line);

protected:
    bool IsLine(int line) const;
    bool IsPosition(CPoint pos) const;
    // Both positions valid and start not after end.
    bool IsRange(CPoint start, CPoint end) const;
    void SendReset();
    // The edits as such: they tell the views, but leave the history and the modified
    // flag to their callers.
    int InsertPieces(CTextView* source, const std::vector<TextPiece>& pieces, CPoint pos, CPoint& end);
    int RemoveText(CTextView* source, CPoint start, CPoint end);
    // Copies the text out, unless it would take more than limit bytes.
    bool CaptureText(CPoint start, CPoint end, std::size_t limit, UndoText& text) const;
    void Record(UndoStep&& step, bool kept, bool typed);
    // Moves the step's text into the buffer or out of it.
    bool Toggle(UndoStep& step, CPoint& cursor);
    // Toggles a step of an undo or redo; false also when the history changed meanwhile.
    bool Replay(UndoStep& step, CPoint& cursor);
    BOOL FinishReplay(bool done);

    std::vector<LineRecord> m_lines;
    std::vector<CTextView*> m_views;
    BOOL m_readOnly = FALSE;
    BOOL m_modified = FALSE;
    std::unique_ptr<CUndoHistory> m_history;
};
