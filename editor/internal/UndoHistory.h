// The undo and redo lists of a text buffer. The history holds positions and text; the
// buffer carries each step out. A step keeps its text only while the text is out of
// the buffer (deleted text waiting for undo, inserted text waiting for redo), so the
// history never copies what the buffer already holds.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "zorkit/editor/internal/TextPiece.h"
#include "zorkit/platform/core/Geometry.h"

// Text taken out of the buffer: the bytes of its lines run together, and each line's length.
struct UndoText {
    std::string bytes;
    std::vector<int> lineLengths;

    std::size_t Size() const { return bytes.size() + lineLengths.size() * sizeof(int); }
    std::vector<TextPiece> Pieces() const;
};

// One insertion or deletion: the text from start to end, which is either in the buffer
// or held in text. Undoing or redoing a step moves the text to the other place.
struct UndoStep {
    CPoint start;
    CPoint end;
    bool inBuffer = true;
    UndoText text;
};

// The edits one undo takes back together.
struct UndoGroup {
    std::vector<UndoStep> steps;
    std::size_t bytes = 0;
    // The text after the group is applied; states are never reused.
    unsigned long long state = 0;
};

class CUndoHistory {
public:
    // Bytes of held text and bookkeeping kept before steps are forgotten.
    static constexpr std::size_t kDefaultLimit = std::size_t(32) << 20;

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }

    // Forgets every step: the text no longer matches them.
    void Clear();
    // Adds an edit just made to the buffer and forgets the redo list. A typed character
    // that starts where the open run of typed characters ended joins that run.
    void Record(UndoStep step, bool typed);
    void BeginGroup();
    void EndGroup();
    void CloseRun() { m_runOpen = false; }

    // Takes out the group the next undo takes back (the buffer reverses its steps, last
    // first) or the next redo repeats; Undone or Redone puts it on the other list.
    UndoGroup TakeUndo();
    void Undone(UndoGroup group);
    UndoGroup TakeRedo();
    void Redone(UndoGroup group);
    // False once an edit was recorded or the history cleared since the group was taken
    // (a view edited while it was told of the undo): the steps no longer fit the text.
    bool TakenGroupFits() const { return m_changes == m_takenAt; }

    // The text as it is now is the saved text; a later edit starts a new step.
    void MarkSaved();
    bool AtSaved() const { return CurrentState() == m_savedState; }
    void SetLimit(std::size_t bytes);
    std::size_t Limit() const { return m_limit; }

private:
    unsigned long long CurrentState() const { return m_undo.empty() ? m_baseState : m_undo.back().state; }
    static std::size_t SizeOf(const UndoGroup& group);
    UndoGroup Take(std::deque<UndoGroup>& from);
    void Put(UndoGroup group, std::deque<UndoGroup>& to);
    void Trim();

    std::deque<UndoGroup> m_undo; // oldest first
    std::deque<UndoGroup> m_redo; // the next to redo last
    std::size_t m_bytes = 0;
    std::size_t m_limit = kDefaultLimit;
    int m_groupDepth = 0;
    bool m_groupOpen = false; // the newest undo group takes the edits of the open BeginGroup
    bool m_runOpen = false;   // the newest step is a typed run that may grow
    unsigned long long m_nextState = 1;
    unsigned long long m_baseState = 0; // the text before the oldest undo group
    unsigned long long m_savedState = 0;
    // Counts changes of the lists, so that a taken group knows whether it still fits.
    unsigned long m_changes = 0;
    unsigned long m_takenAt = 0;
};
