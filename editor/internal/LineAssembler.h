// Turns the bytes of a text file, fed block by block, into lines. A line ends at a
// two-byte break, CR LF or LF LF, also when the break straddles two blocks; any other
// CR or LF is dropped and the text on both sides joins. Text is taken in pieces of at
// most 1023 bytes, as the file reader always has.
#pragma once

#include <cstddef>
#include <vector>

#include "zorkit/editor/LineRecord.h"

class CLineAssembler {
public:
    explicit CLineAssembler(std::vector<LineRecord>& lines) : m_lines(lines) {}

    // False when memory ran out (or a line grew past LineRecord::kMaxLength); the
    // lines are then incomplete.
    bool Feed(const char* block, std::size_t count);

    static constexpr std::size_t kPieceSize = 1023;

private:
    bool AppendPiece(const char* bytes, std::size_t count);
    bool EndLine();

    std::vector<LineRecord>& m_lines;
    std::size_t m_current = 0;    // the line that receives text: the last one or one past it
    bool m_breakPending = false;  // the previous block ended with a CR or LF
};
