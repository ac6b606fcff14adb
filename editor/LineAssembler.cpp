#include "zorkit/editor/internal/LineAssembler.h"

#include <algorithm>
#include <new>

namespace {
bool IsBreakByte(char byte) { return byte == '\r' || byte == '\n'; }
}

bool CLineAssembler::Feed(const char* block, std::size_t count)
{
    std::size_t p = 0;
    if (m_breakPending && count > 0) {
        m_breakPending = false;
        if (block[0] == '\n') {
            if (!EndLine())
                return false;
            p = 1;
        }
    }
    while (p < count) {
        std::size_t windowEnd = std::min(p + kPieceSize, count);
        std::size_t q = p;
        while (q < windowEnd && !IsBreakByte(block[q]))
            ++q;
        if (q > p && !AppendPiece(block + p, q - p))
            return false;
        if (q == windowEnd) {
            p = q;
        } else if (q + 1 == count) {
            // Whether this is a line end depends on the first byte of the next block.
            m_breakPending = true;
            p = count;
        } else if (block[q + 1] == '\n') {
            if (!EndLine())
                return false;
            p = q + 2;
        } else {
            p = q + 1;
        }
    }
    return true;
}

bool CLineAssembler::AppendPiece(const char* bytes, std::size_t count)
{
    if (m_current < m_lines.size())
        return m_lines[m_current].Append(bytes, int(count));
    try {
        m_lines.emplace_back();
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (m_lines.back().Create(bytes, int(count)))
        return true;
    m_lines.pop_back();
    return false;
}

// The break closes the current line, which is created empty when no text came before
// it. A line whose text filled a whole piece or block is already there and must not
// be followed by a stray empty one.
bool CLineAssembler::EndLine()
{
    if (m_current == m_lines.size() && !AppendPiece(nullptr, 0))
        return false;
    ++m_current;
    return true;
}
