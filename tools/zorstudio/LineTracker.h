// Where the lines of a text went while it was edited: each line of the text as it was
// at a moment (the text a program was built from) and the line it is now. A line goes
// where its text goes (its indentation does not count): lines inserted or deleted
// above it, or a line break typed before its text, move it; a line whose text was
// deleted, or joined to the end of the line above, is gone. The editor reports each
// edit as the text buffer tells its views of it.
//
//   CLineTracker lines;
//   lines.Reset(buffer);                             // the text as built
//   lines.Follow(context);                           // from a view's UpdateView
//   if (auto now = lines.Now(12)) margin.Mark(*now); // built line 12, now here
#pragma once

#include <optional>
#include <vector>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/UpdateContext.h"

namespace zorstudio {

class CLineTracker {
public:
    // The buffer's text as it is now is the one lines are tracked from.
    void Reset(const CTextBuf& text);
    // An insertion or deletion as the buffer reports it; any other update moves no line.
    void Follow(const CUpdateContext& edit);
    // Text inserted at begin, ending just before end.
    void Inserted(CPoint begin, CPoint end);
    // The text from begin to end removed.
    void Deleted(CPoint begin, CPoint end);

    // Lines count from 0. Where the line tracked from is now; nothing once it is gone.
    std::optional<int> Now(int line) const;
    // The line tracked from that a line of the text now was; nothing for a line made since.
    std::optional<int> Then(int line) const;

private:
    struct CLine {
        int origin;  // the line it was; -1 for a line made since
        int start;   // the column where that line's text (after its indentation) begins
    };

    // Makes sure the text now has that many lines (a buffer without lines gets one
    // at its first insertion).
    void Cover(int lines);

    std::vector<CLine> m_lines;
};

}
