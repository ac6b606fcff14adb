#include "zorkit/editor/internal/UndoHistory.h"

#include <new>

std::vector<TextPiece> UndoText::Pieces() const
{
    std::vector<TextPiece> pieces;
    pieces.reserve(lineLengths.size());
    const char* at = bytes.data();
    for (int length : lineLengths) {
        pieces.push_back({at, length});
        at += length;
    }
    return pieces;
}

void CUndoHistory::Clear()
{
    ++m_changes;
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
    m_baseState = m_nextState++;
    m_groupOpen = false;
    m_runOpen = false;
}

void CUndoHistory::Record(UndoStep step, bool typed)
{
    ++m_changes;
    try {
        for (const UndoGroup& group : m_redo)
            m_bytes -= group.bytes;
        m_redo.clear();
        if (typed && m_runOpen && m_undo.back().steps.back().end == step.start) {
            m_undo.back().steps.back().end = step.end;
        } else if (m_groupOpen) {
            UndoGroup& group = m_undo.back();
            std::size_t added = sizeof(UndoStep) + step.text.Size();
            group.steps.push_back(std::move(step));
            group.bytes += added;
            m_bytes += added;
        } else {
            UndoGroup group;
            group.steps.push_back(std::move(step));
            group.state = m_nextState++;
            group.bytes = SizeOf(group);
            m_bytes += group.bytes;
            m_undo.push_back(std::move(group));
        }
        m_groupOpen = m_groupDepth > 0;
        m_runOpen = typed;
        Trim();
    } catch (const std::bad_alloc&) {
        // A step that cannot be kept breaks the chain the older steps depend on.
        Clear();
    }
}

void CUndoHistory::BeginGroup()
{
    if (m_groupDepth++ == 0)
        m_groupOpen = false;
}

void CUndoHistory::EndGroup()
{
    if (m_groupDepth > 0 && --m_groupDepth == 0)
        m_groupOpen = false;
}

UndoGroup CUndoHistory::TakeUndo() { return Take(m_undo); }

void CUndoHistory::Undone(UndoGroup group) { Put(std::move(group), m_redo); }

UndoGroup CUndoHistory::TakeRedo() { return Take(m_redo); }

void CUndoHistory::Redone(UndoGroup group) { Put(std::move(group), m_undo); }

void CUndoHistory::MarkSaved()
{
    m_savedState = CurrentState();
    // Growing the newest step now would carry the saved text away with it.
    m_groupOpen = false;
    m_runOpen = false;
}

void CUndoHistory::SetLimit(std::size_t bytes)
{
    m_limit = bytes;
    Trim();
}

std::size_t CUndoHistory::SizeOf(const UndoGroup& group)
{
    std::size_t bytes = sizeof(UndoGroup);
    for (const UndoStep& step : group.steps)
        bytes += sizeof(UndoStep) + step.text.Size();
    return bytes;
}

UndoGroup CUndoHistory::Take(std::deque<UndoGroup>& from)
{
    // An undo or redo ends any group or run that was open.
    m_groupDepth = 0;
    m_groupOpen = false;
    m_runOpen = false;
    UndoGroup group = std::move(from.back());
    from.pop_back();
    m_bytes -= group.bytes;
    m_takenAt = ++m_changes;
    return group;
}

void CUndoHistory::Put(UndoGroup group, std::deque<UndoGroup>& to)
{
    group.bytes = SizeOf(group);
    try {
        to.push_back(std::move(group));
    } catch (const std::bad_alloc&) {
        Clear();
        return;
    }
    m_bytes += to.back().bytes;
    Trim();
}

void CUndoHistory::Trim()
{
    while (m_bytes > m_limit && (!m_undo.empty() || !m_redo.empty())) {
        // The redo step furthest away goes first, so that undoing a large insertion
        // does not cost the steps before it; then the oldest undo step.
        std::deque<UndoGroup>& from = m_redo.empty() ? m_undo : m_redo;
        if (&from == &m_undo)
            m_baseState = from.front().state;
        m_bytes -= from.front().bytes;
        from.pop_front();
    }
    if (m_undo.empty()) {
        m_groupOpen = false;
        m_runOpen = false;
    }
}
