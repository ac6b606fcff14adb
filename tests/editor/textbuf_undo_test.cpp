#include <gtest/gtest.h>

#include "RecordingView.h"
#include "tests/support/TempDir.h"
#include "zorkit/platform/core/Gbk.h"

namespace {

class TextBufUndo : public ::testing::Test {
protected:
    void SetUp() override
    {
        buffer.InitNew();
        buffer.AddView(&view);
        buffer.AddView(&other);
    }

    // Types text one byte at a time from pos, as the editing view does; returns the end.
    CPoint Type(const std::string& text, CPoint pos)
    {
        for (char byte : text) {
            const char one[2] = {byte, '\0'};
            EXPECT_TRUE(buffer.InsertText(&view, one, pos, pos));
        }
        return pos;
    }

    CPoint Insert(const char* text, CPoint pos)
    {
        CPoint end;
        EXPECT_TRUE(buffer.InsertText(&view, text, pos, end));
        return end;
    }

    RecordingView view;
    RecordingView other;
    CTextBuf buffer;
    CPoint cursor{-1, -1};
};

TEST_F(TextBufUndo, UndoAndRedoOfInsertionsAndDeletions)
{
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.Undo(cursor));
    EXPECT_FALSE(buffer.Redo(cursor));
    EXPECT_EQ(cursor, CPoint(-1, -1)) << "nothing to undo leaves the cursor alone";

    Insert("first\r\nsecond", CPoint(0, 0));
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(3, 0), CPoint(2, 1)));
    EXPECT_EQ(LinesOf(buffer), (Lines{"fircond"}));

    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"first", "second"}));
    EXPECT_EQ(cursor, CPoint(2, 1)) << "after the restored text";
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{""}));
    EXPECT_EQ(cursor, CPoint(0, 0)) << "where the removed insertion began";
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.Undo(cursor));

    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"first", "second"}));
    EXPECT_EQ(cursor, CPoint(6, 1)) << "after the inserted text, as the insertion left it";
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"fircond"}));
    EXPECT_EQ(cursor, CPoint(3, 0));
    EXPECT_FALSE(buffer.CanRedo());
    EXPECT_FALSE(buffer.Redo(cursor));
}

TEST_F(TextBufUndo, TypedCharactersInOneRunAreOneStep)
{
    CPoint end = Type("mov", CPoint(0, 0));
    end = Type(zorkit::GbkFromUtf8("汉"), end);
    ASSERT_TRUE(buffer.InsertText(&view, zorkit::GbkFromUtf8("字").c_str(), end, end));
    EXPECT_EQ(end, CPoint(7, 0));

    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{""})) << "single bytes and whole double-byte characters make one run";
    EXPECT_EQ(cursor, CPoint(0, 0));
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"mov" + zorkit::GbkFromUtf8("汉字")}));
    EXPECT_EQ(cursor, CPoint(7, 0));
    EXPECT_FALSE(buffer.CanRedo());
}

TEST_F(TextBufUndo, RunsEndAtJumpsBreaksOtherEditsAndCloseUndoGroup)
{
    CPoint end = Type("ab", CPoint(0, 0));
    end = Type("cd", CPoint(1, 0));                 // the caret jumped back
    buffer.CloseUndoGroup();
    end = Type("ef", end);                           // where the run ended, but closed
    end = Insert("\r\n", end);                       // Enter
    end = Type("gh", end);
    end = Insert("paste", end);                      // more than one character
    end = Type("ij", end);
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(end.x - 1, end.y), end)); // Backspace
    end = Type("k", CPoint(end.x - 1, end.y));
    EXPECT_EQ(LinesOf(buffer), (Lines{"acdef", "ghpasteikb"}));

    const Lines expected[] = {
        {"acdef", "ghpasteib"},
        {"acdef", "ghpasteijb"},
        {"acdef", "ghpasteb"},
        {"acdef", "ghb"},
        {"acdef", "b"},
        {"acdefb"},
        {"acdb"},
        {"ab"},
        {""},
    };
    for (const Lines& lines : expected) {
        ASSERT_TRUE(buffer.Undo(cursor));
        EXPECT_EQ(LinesOf(buffer), lines);
    }
    EXPECT_FALSE(buffer.CanUndo());
}

TEST_F(TextBufUndo, TypingOverASelectionIsOneStep)
{
    Insert("say hello", CPoint(0, 0));
    buffer.BeginUndoGroup();
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(4, 0), CPoint(9, 0)));
    CPoint end = Type("w", CPoint(4, 0));
    buffer.EndUndoGroup();
    end = Type("orld", end);
    EXPECT_EQ(LinesOf(buffer), (Lines{"say world"}));

    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"say hello"})) << "the typing that went on belongs to the same step";
    EXPECT_EQ(cursor, CPoint(9, 0)) << "after the restored selection";
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"say world"}));
    EXPECT_EQ(cursor, CPoint(9, 0));

    buffer.BeginUndoGroup();
    buffer.BeginUndoGroup();
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(0, 0), CPoint(4, 0)));
    buffer.EndUndoGroup();
    Insert("hi\r\n", CPoint(0, 0));
    buffer.EndUndoGroup();
    Insert("!", CPoint(5, 1));
    EXPECT_EQ(LinesOf(buffer), (Lines{"hi", "world!"}));
    ASSERT_TRUE(buffer.Undo(cursor));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"say world"})) << "nested groups close with the outer one";
}

TEST_F(TextBufUndo, EveryViewFollowsAnUndoThroughTheUsualHints)
{
    Insert("ab", CPoint(0, 0));
    Insert("x\r\ny", CPoint(1, 0));
    view.m_updates.clear();
    other.m_updates.clear();
    other.m_tracked = {CPoint(1, 1), CPoint(0, 0), CPoint(2, 1)};

    ASSERT_TRUE(buffer.Undo(cursor));
    ASSERT_EQ(other.m_updates.size(), 1u);
    EXPECT_EQ(other.m_updates[0].hints, TBU_LINECOUNT | TBU_WIDTH);
    EXPECT_EQ(other.m_updates[0].line, 0);
    EXPECT_TRUE(other.m_updates[0].hadContext);
    EXPECT_EQ(other.m_updates[0].source, nullptr);
    EXPECT_EQ(view.m_updates.size(), 1u) << "the view that asked is told too";
    EXPECT_EQ(other.m_tracked, (std::vector<CPoint>{CPoint(1, 0), CPoint(0, 0), CPoint(2, 0)}));

    ASSERT_TRUE(buffer.Redo(cursor));
    ASSERT_EQ(other.m_updates.size(), 2u);
    EXPECT_EQ(other.m_updates[1].hints, TBU_LINECOUNT | TBU_WIDTH);
    EXPECT_EQ(other.m_tracked, (std::vector<CPoint>{CPoint(1, 0), CPoint(0, 0), CPoint(2, 1)}));

    ASSERT_TRUE(buffer.Undo(cursor));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(other.m_updates.back().hints, TBU_ONELINE | TBU_WIDTH) << "the change within one line";
    EXPECT_EQ(other.m_updates.back().line, 0);
}

TEST_F(TextBufUndo, AViewEditingWhileItHearsOfAnUndoLeavesASoundBuffer)
{
    Insert("ab", CPoint(0, 0));
    buffer.BeginUndoGroup();
    Insert("cd", CPoint(2, 0));
    Insert("ef", CPoint(4, 0));
    buffer.EndUndoGroup();
    bool edited = false;
    other.m_onUpdate = [&] {
        if (!edited) {
            edited = true;
            CPoint end;
            EXPECT_TRUE(buffer.InsertText(&other, "!", CPoint(0, 0), end));
        }
    };

    EXPECT_FALSE(buffer.Undo(cursor)) << "the undo stops where the view edited";
    EXPECT_EQ(LinesOf(buffer), (Lines{"!abcd"})) << "and removes no text it no longer knows";
    EXPECT_FALSE(buffer.CanUndo()) << "the history no longer fits the text";
    EXPECT_FALSE(buffer.CanRedo());
}

TEST_F(TextBufUndo, ANewEditForgetsWhatCouldBeRedone)
{
    Insert("one", CPoint(0, 0));
    Insert(" two", CPoint(3, 0));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_TRUE(buffer.CanRedo());
    Insert("!", CPoint(3, 0));
    EXPECT_FALSE(buffer.CanRedo());
    EXPECT_FALSE(buffer.Redo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"one!"}));

    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_TRUE(buffer.CanRedo());
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(2, 0), CPoint(2, 0)));
    EXPECT_TRUE(buffer.CanRedo()) << "an empty deletion changes nothing";
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(0, 0), CPoint(1, 0)));
    EXPECT_FALSE(buffer.CanRedo());
}

TEST_F(TextBufUndo, LoadingNewTextAndBuildingForgetTheHistory)
{
    TempDir dir;
    std::string file = dir.Write("a.asm", "nop\r\n");
    auto edit = [&] {
        Insert("x", CPoint(0, 0));
        ASSERT_TRUE(buffer.Undo(cursor));
        Insert("y", CPoint(0, 0));
        ASSERT_TRUE(buffer.CanUndo());
    };

    edit();
    EXPECT_FALSE(buffer.LoadFromFile(dir.File("missing.asm").c_str()));
    EXPECT_TRUE(buffer.CanUndo()) << "a failed load keeps the text and its history";
    ASSERT_TRUE(buffer.LoadFromFile(file.c_str()));
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.CanRedo());

    edit();
    ASSERT_TRUE(buffer.Undo(cursor));
    ASSERT_TRUE(buffer.CanRedo());
    buffer.InitNew();
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.CanRedo());

    edit();
    buffer.FreeAll();
    EXPECT_FALSE(buffer.CanUndo());

    buffer.InitNew();
    edit();
    buffer.AppendLine("more");
    EXPECT_FALSE(buffer.CanUndo()) << "the history no longer knows the text";
    edit();
    buffer.InsertLine("more");
    EXPECT_FALSE(buffer.CanUndo());
}

TEST_F(TextBufUndo, UndoRestoresEveryByteOfTheText)
{
    // Loaded text may hold NUL bytes, which no NUL-terminated string could carry back.
    TempDir dir;
    std::string gbk = zorkit::GbkFromUtf8("注释");
    std::string bytes = std::string("a\0b\r\n", 5) + gbk + "\r\n" + std::string("c\0", 2);
    ASSERT_TRUE(buffer.LoadFromFile(dir.Write("nul.bin", bytes).c_str()));
    Lines before = LinesOf(buffer);
    ASSERT_EQ(before, (Lines{std::string("a\0b", 3), gbk, std::string("c\0", 2)}));

    int last = buffer.GetLineCount() - 1;
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(1, 0), CPoint(1, last)));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), before);
    EXPECT_EQ(cursor, CPoint(1, last));
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{std::string("a\0", 2)}));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), before);
}

TEST_F(TextBufUndo, UndoBackToTheSavedTextClearsTheModifiedFlag)
{
    TempDir dir;
    Insert("saved", CPoint(0, 0));
    CPoint end = Type("ab", CPoint(5, 0));
    ASSERT_TRUE(buffer.SaveToFile(dir.File("s.asm").c_str(), TRUE));
    EXPECT_FALSE(buffer.IsModified());
    end = Type("cd", end);
    EXPECT_TRUE(buffer.IsModified());

    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"savedab"})) << "saving ended the run";
    EXPECT_FALSE(buffer.IsModified());
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_TRUE(buffer.IsModified());
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_FALSE(buffer.IsModified());
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_TRUE(buffer.IsModified());

    ASSERT_TRUE(buffer.Undo(cursor));
    ASSERT_TRUE(buffer.Undo(cursor));
    Insert("other", CPoint(0, 0));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"saved"}));
    EXPECT_TRUE(buffer.IsModified()) << "the saved text can no longer be reached";
}

TEST_F(TextBufUndo, AReadOnlyBufferRefusesUndoAndRedo)
{
    Insert("ab", CPoint(0, 0));
    Insert("cd", CPoint(2, 0));
    ASSERT_TRUE(buffer.Undo(cursor));
    buffer.SetReadOnly(TRUE);
    view.m_updates.clear();
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.CanRedo());
    EXPECT_FALSE(buffer.Undo(cursor));
    EXPECT_FALSE(buffer.Redo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ab"}));
    EXPECT_TRUE(view.m_updates.empty());
    buffer.SetReadOnly(FALSE);
    ASSERT_TRUE(buffer.Redo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"abcd"}));
}

TEST_F(TextBufUndo, TheOldestStepsGoWhenTheHistoryOutgrowsItsLimit)
{
    const std::string big(4000, 'z');
    buffer.SetUndoLimit(10000);
    Insert("head\r\n", CPoint(0, 0));
    for (int i = 0; i < 3; ++i) {
        Insert(big.c_str(), CPoint(0, 1));
        ASSERT_TRUE(buffer.DeleteText(&view, CPoint(0, 1), CPoint(4000, 1)));
    }
    int steps = 0;
    while (buffer.Undo(cursor)) {
        ++steps;
        ASSERT_LE(steps, 4) << "the two newest deleted texts fit, the third does not";
    }
    EXPECT_EQ(steps, 4);
    EXPECT_EQ(LinesOf(buffer), (Lines{"head", ""}));
    while (buffer.Redo(cursor))
        --steps;
    EXPECT_EQ(steps, 0) << "what was undone can be redone";

    buffer.SetUndoLimit(1000);
    EXPECT_FALSE(buffer.CanUndo()) << "a lower limit drops what no longer fits";
    Insert(big.c_str(), CPoint(0, 1));
    ASSERT_TRUE(buffer.CanUndo());
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(0, 1), CPoint(4000, 1)));
    EXPECT_FALSE(buffer.CanUndo()) << "a deletion larger than the limit cannot be undone, nor anything before it";
    EXPECT_EQ(LinesOf(buffer), (Lines{"head", ""}));
}

TEST_F(TextBufUndo, UndoingAnInsertionLargerThanTheLimitKeepsTheStepsBefore)
{
    const std::string big(4000, 'z');
    buffer.SetUndoLimit(3000);
    Insert("one", CPoint(0, 0));
    ASSERT_TRUE(buffer.DeleteText(&view, CPoint(0, 0), CPoint(1, 0)));
    Insert(big.c_str(), CPoint(2, 0));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ne" + big})) << "an insertion costs the history nothing while its text is in";

    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ne"}));
    EXPECT_FALSE(buffer.CanRedo()) << "its text does not fit the history";
    ASSERT_TRUE(buffer.Undo(cursor));
    ASSERT_TRUE(buffer.Undo(cursor));
    EXPECT_EQ(LinesOf(buffer), (Lines{""}));
    EXPECT_TRUE(buffer.CanRedo());
}

}
