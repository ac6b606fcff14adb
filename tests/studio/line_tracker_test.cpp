// The lines of a source followed through edits made to a real text buffer, as the
// buffer reports them to its views: typed line breaks, pasted lines, deletions,
// joined lines and undo.
#include <gtest/gtest.h>

#include <string>

#include "tools/zorstudio/LineTracker.h"
#include "tools/zorstudio/TextLines.h"
#include "zorkit/editor/TextView.h"

namespace zorkit::studio::test {
namespace {

using zorstudio::CLineTracker;

// A view of the buffer that shows nothing and hands its reports of edits on.
class CEditListener : public CTextView {
public:
    explicit CEditListener(CLineTracker& lines) : m_lines(lines) {}
    void UpdateView(CTextView*, CUpdateContext* context, unsigned long, int) override
    {
        if (context)
            m_lines.Follow(*context);
    }

private:
    CLineTracker& m_lines;
};

class LineTrackerTest : public ::testing::Test {
protected:
    static constexpr int kLines = 8;

    void SetUp() override
    {
        std::vector<std::string> lines;
        for (int i = 0; i < kLines; ++i)
            lines.push_back("    statement" + std::to_string(i) + ";");
        zorstudio::FillBuffer(buffer, lines);
        tracker.Reset(buffer);
        buffer.AddView(&listener);
    }
    void TearDown() override { buffer.RemoveView(&listener); }

    std::string Text(int line) { return std::string(buffer.GetLineChars(line), std::size_t(buffer.GetLineLength(line))); }
    void Insert(CPoint at, const char* text)
    {
        CPoint end;
        ASSERT_TRUE(buffer.InsertText(nullptr, text, at, end));
    }
    void Delete(CPoint from, CPoint to) { ASSERT_TRUE(buffer.DeleteText(nullptr, from, to)); }
    int Length(int line) { return buffer.GetLineLength(line); }
    // Where each line that is left is now, checked against the text: its statement is there.
    std::vector<int> Places()
    {
        std::vector<int> places;
        for (int i = 0; i < kLines; ++i) {
            const auto now = tracker.Now(i);
            places.push_back(now.value_or(-1));
            if (!now)
                continue;
            EXPECT_NE(Text(*now).find("statement" + std::to_string(i) + ";"), std::string::npos)
                << "line " << i << " tracked to " << *now << ": " << Text(*now);
            EXPECT_EQ(tracker.Then(*now), i);
        }
        return places;
    }

    CTextBuf buffer;
    CLineTracker tracker;
    CEditListener listener{tracker};
};

TEST_F(LineTrackerTest, LineBreaksBeforeALinesTextMoveItAndTheLinesBelow)
{
    // Enter at the end of line 1, at the start of line 4, and after line 6's indentation
    // with a statement typed first.
    Insert(CPoint(Length(1), 1), "\r\n");
    Insert(CPoint(0, 5), "\r\n");
    Insert(CPoint(4, 8), "added();");
    Insert(CPoint(12, 8), "\r\n    ");
    EXPECT_EQ(Places(), (std::vector<int>{0, 1, 3, 4, 6, 7, 9, 10}));
    EXPECT_FALSE(tracker.Then(2)) << "a new line was no line before";
    EXPECT_FALSE(tracker.Then(8));
    EXPECT_EQ(Text(8), "    added();");
}

TEST_F(LineTrackerTest, LinesPastedAfterALinesTextLeaveItThereAndMoveTheRest)
{
    Insert(CPoint(Length(2), 2), "one\r\ntwo\r\nthree");
    EXPECT_EQ(Places(), (std::vector<int>{0, 1, 2, 5, 6, 7, 8, 9}));
    Insert(CPoint(4, 0), "/* at the start */ ");
    EXPECT_EQ(Places(), (std::vector<int>{0, 1, 2, 5, 6, 7, 8, 9})) << "text on one line moves no line";
}

TEST_F(LineTrackerTest, DeletedLinesAreGoneAndThoseBelowMoveUp)
{
    // Lines 2 and 3 selected whole; then from the end of line 0 to the end of line 1.
    Delete(CPoint(0, 2), CPoint(0, 4));
    EXPECT_EQ(Places(), (std::vector<int>{0, 1, -1, -1, 2, 3, 4, 5}));
    Delete(CPoint(Length(0), 0), CPoint(Length(1), 1));
    EXPECT_EQ(Places(), (std::vector<int>{0, -1, -1, -1, 1, 2, 3, 4}));
    // Less indentation: a line break before the text still moves the line.
    Delete(CPoint(0, 1), CPoint(2, 1));
    Insert(CPoint(2, 1), "\r\n");
    EXPECT_EQ(Places(), (std::vector<int>{0, -1, -1, -1, 2, 3, 4, 5}));
}

TEST_F(LineTrackerTest, AJoinedLineGoesUnlessTheLineAboveWasEmpty)
{
    // Backspace at the start of line 3 joins it to line 2's end: line 3 is gone.
    Delete(CPoint(Length(2), 2), CPoint(0, 3));
    EXPECT_EQ(Places(), (std::vector<int>{0, 1, 2, -1, 3, 4, 5, 6}));
    // An empty line typed above line 5, then taken back by a backspace on line 5.
    Insert(CPoint(0, 4), "\r\n");
    EXPECT_EQ(Places()[5], 5);
    Delete(CPoint(0, 4), CPoint(0, 5));
    EXPECT_EQ(Places(), (std::vector<int>{0, 1, 2, -1, 3, 4, 5, 6}));
}

TEST_F(LineTrackerTest, UndoPutsTheLinesBackAndRedoMovesThemAgain)
{
    Insert(CPoint(0, 1), "\r\n\r\n");
    Delete(CPoint(0, 5), CPoint(0, 6));
    EXPECT_EQ(Places(), (std::vector<int>{0, 3, 4, -1, 5, 6, 7, 8}));
    CPoint cursor;
    ASSERT_TRUE(buffer.Undo(cursor));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(Places(), (std::vector<int>{0, 1, 2, -1, 4, 5, 6, 7}))
        << "the deleted line comes back as new text, without its mark";
    EXPECT_FALSE(tracker.Then(3));
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(Places(), (std::vector<int>{0, 3, 4, -1, 6, 7, 8, 9}));
}

}
}
