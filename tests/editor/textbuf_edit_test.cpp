#include <gtest/gtest.h>

#include "RecordingView.h"
#include "zorkit/platform/core/Gbk.h"

namespace {

class TextBufEdit : public ::testing::Test {
protected:
    void Fill(const Lines& lines)
    {
        for (const std::string& line : lines)
            buffer.InsertLine(line.c_str());
        buffer.AddView(&view);
        buffer.AddView(&other);
    }

    RecordingView view;
    RecordingView other;
    CTextBuf buffer;
};

TEST_F(TextBufEdit, InsertingALineBreakSplitsTheLine)
{
    Fill({"ab"});
    view.m_tracked = {CPoint(2, 0), CPoint(1, 0)};
    CPoint end;
    ASSERT_TRUE(buffer.InsertText(&view, "x\r\ny", CPoint(1, 0), end));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ax", "yb"}));
    EXPECT_EQ(end, CPoint(1, 1));
    ASSERT_EQ(view.m_updates.size(), 1u);
    EXPECT_EQ(view.m_updates[0].hints, TBU_LINECOUNT | TBU_WIDTH);
    EXPECT_EQ(view.m_updates[0].line, 0);
    EXPECT_EQ(view.m_updates[0].source, &view);
    EXPECT_EQ(other.m_updates[0].source, &view) << "other views learn who made the change";
    EXPECT_EQ(view.m_tracked, (std::vector<CPoint>{CPoint(2, 1), CPoint(1, 0)}));
    EXPECT_TRUE(buffer.IsModified());
}

TEST_F(TextBufEdit, InsertingWithinOneLine)
{
    Fill({"ab"});
    CPoint end;
    ASSERT_TRUE(buffer.InsertText(nullptr, "xy", CPoint(1, 0), end));
    EXPECT_EQ(LinesOf(buffer), (Lines{"axyb"}));
    EXPECT_EQ(end, CPoint(3, 0));
    EXPECT_EQ(view.m_updates.at(0).hints, TBU_ONELINE | TBU_WIDTH);
}

TEST_F(TextBufEdit, OnlyCarriageReturnsBreakLines)
{
    Fill({"ab", "cd"});
    CPoint end;
    ASSERT_TRUE(buffer.InsertText(nullptr, "x\ny", CPoint(1, 1), end));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ab", "cx\nyd"})) << "a lone LF stays a byte";
    ASSERT_TRUE(buffer.InsertText(nullptr, "1\r2\r\n\r\n3", CPoint(0, 0), end));
    EXPECT_EQ(LinesOf(buffer), (Lines{"1", "2", "", "3ab", "cx\nyd"}));
    EXPECT_EQ(end, CPoint(1, 3));
    ASSERT_TRUE(buffer.InsertText(nullptr, "\r\n", CPoint(5, 4), end));
    EXPECT_EQ(LinesOf(buffer), (Lines{"1", "2", "", "3ab", "cx\nyd", ""}));
    EXPECT_EQ(end, CPoint(0, 5));
    ASSERT_TRUE(buffer.InsertText(nullptr, "", CPoint(0, 5), end));
    EXPECT_EQ(end, CPoint(0, 5));
}

TEST_F(TextBufEdit, LineFlagsStayWithTheFirstLine)
{
    Fill({"ab", "cd", "ef"});
    buffer.SetLineFlags(0, LINEMARK_ARROW, TRUE);
    buffer.SetLineFlags(1, LINEMARK_DOT, TRUE);
    CPoint end;
    ASSERT_TRUE(buffer.InsertText(nullptr, "1\r\n2", CPoint(1, 0), end));
    EXPECT_EQ(buffer.GetLineFlags(0), LINEMARK_ARROW);
    EXPECT_EQ(buffer.GetLineFlags(1), 0u) << "a new line starts without flags";
    EXPECT_EQ(buffer.GetLineFlags(2), LINEMARK_DOT);
    ASSERT_TRUE(buffer.DeleteText(nullptr, CPoint(1, 0), CPoint(1, 2)));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ad", "ef"}));
    EXPECT_EQ(buffer.GetLineFlags(0), LINEMARK_ARROW) << "removed lines take their flags along";
}

TEST_F(TextBufEdit, DeletingAcrossLinesJoinsThem)
{
    Fill({"ab", "cd", "ef"});
    view.m_tracked = {CPoint(2, 0), CPoint(0, 1), CPoint(2, 1), CPoint(1, 2)};
    ASSERT_TRUE(buffer.DeleteText(&other, CPoint(1, 0), CPoint(1, 1)));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ad", "ef"}));
    EXPECT_EQ(view.m_updates.at(0).hints, TBU_LINECOUNT | TBU_WIDTH);
    EXPECT_EQ(view.m_updates.at(0).line, 0);
    EXPECT_EQ(view.m_updates.at(0).source, &other);
    EXPECT_EQ(view.m_tracked, (std::vector<CPoint>{CPoint(1, 0), CPoint(1, 0), CPoint(2, 0), CPoint(1, 1)}));
    EXPECT_TRUE(buffer.IsModified());
}

TEST_F(TextBufEdit, DeletingWithinOneLine)
{
    Fill({"abcdef"});
    ASSERT_TRUE(buffer.DeleteText(nullptr, CPoint(1, 0), CPoint(4, 0)));
    EXPECT_EQ(LinesOf(buffer), (Lines{"aef"}));
    EXPECT_EQ(view.m_updates.at(0).hints, TBU_ONELINE | TBU_WIDTH);
    ASSERT_TRUE(buffer.DeleteText(nullptr, CPoint(0, 0), CPoint(3, 0)));
    EXPECT_EQ(LinesOf(buffer), (Lines{""}));
}

TEST_F(TextBufEdit, ReadOnlyBufferRefusesEdits)
{
    Fill({"ab", "cd"});
    buffer.SetReadOnly(TRUE);
    CPoint end(-7, -7);
    EXPECT_FALSE(buffer.InsertText(nullptr, "x", CPoint(0, 0), end));
    EXPECT_FALSE(buffer.DeleteText(nullptr, CPoint(0, 0), CPoint(1, 1)));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ab", "cd"}));
    EXPECT_EQ(end, CPoint(-7, -7));
    EXPECT_FALSE(buffer.IsModified());
    EXPECT_TRUE(view.m_updates.empty());
    buffer.SetModified(TRUE);
    EXPECT_FALSE(buffer.InsertText(nullptr, "x", CPoint(0, 0), end));
    EXPECT_TRUE(buffer.IsModified()) << "a refused edit leaves the flag as it was";
}

TEST_F(TextBufEdit, PositionsOutsideTheTextAreRefused)
{
    Fill({"ab", "cd"});
    CPoint end;
    const CPoint bad[] = {CPoint(3, 0), CPoint(-1, 0), CPoint(0, 2), CPoint(0, -1), CPoint(0x7FFFFFFF, 1)};
    for (CPoint pos : bad) {
        EXPECT_FALSE(buffer.InsertText(nullptr, "x\r\ny", pos, end)) << pos.x << "," << pos.y;
        EXPECT_FALSE(buffer.DeleteText(nullptr, CPoint(0, 0), pos)) << pos.x << "," << pos.y;
        EXPECT_FALSE(buffer.DeleteText(nullptr, pos, CPoint(2, 1))) << pos.x << "," << pos.y;
    }
    EXPECT_FALSE(buffer.DeleteText(nullptr, CPoint(1, 1), CPoint(0, 1))) << "start after end";
    EXPECT_FALSE(buffer.DeleteText(nullptr, CPoint(0, 1), CPoint(2, 0)));
    EXPECT_FALSE(buffer.InsertText(nullptr, nullptr, CPoint(0, 0), end));
    EXPECT_EQ(LinesOf(buffer), (Lines{"ab", "cd"}));
    EXPECT_TRUE(view.m_updates.empty());
    EXPECT_FALSE(buffer.IsModified());
}

TEST_F(TextBufEdit, ABufferWithoutLinesActsAsOneEmptyLine)
{
    Fill({});
    CString text("stale");
    buffer.GetText(CPoint(0, 0), CPoint(0, 0), text);
    EXPECT_EQ(text, "");
    EXPECT_FALSE(buffer.DeleteText(nullptr, CPoint(0, 0), CPoint(0, 0)));
    CPoint end;
    EXPECT_FALSE(buffer.InsertText(nullptr, "x", CPoint(1, 0), end));
    ASSERT_TRUE(buffer.InsertText(nullptr, "x", CPoint(0, 0), end));
    EXPECT_EQ(LinesOf(buffer), (Lines{"x"}));
    EXPECT_EQ(end, CPoint(1, 0));
    EXPECT_EQ(view.m_updates.at(0).hints & TBU_LINECOUNT, TBU_LINECOUNT) << "the line count went from 0 to 1";
}

TEST_F(TextBufEdit, DoubleByteTextPassesThroughAsBytes)
{
    std::string chinese = zorkit::GbkFromUtf8("中文");
    ASSERT_EQ(chinese.size(), 4u);
    Fill({"ab"});
    CPoint end;
    ASSERT_TRUE(buffer.InsertText(nullptr, (chinese + "\r\n" + chinese).c_str(), CPoint(1, 0), end));
    EXPECT_EQ(LinesOf(buffer), (Lines{"a" + chinese, chinese + "b"}));
    EXPECT_EQ(end, CPoint(4, 1)) << "positions count bytes";
}

TEST(TextBufGetText, JoinsLinesWithCrLfAndStopsAtNul)
{
    CTextBuf buffer;
    buffer.InsertLine("abc");
    buffer.InsertLine("");
    buffer.InsertLine("def");
    buffer.InsertLine("g\0h", 3, -1);
    CString text;
    buffer.GetText(CPoint(1, 0), CPoint(2, 2), text);
    EXPECT_EQ(text, "bc\r\n\r\nde");
    buffer.GetText(CPoint(1, 2), CPoint(3, 2), text);
    EXPECT_EQ(text, "ef");
    buffer.GetText(CPoint(2, 2), CPoint(2, 2), text);
    EXPECT_EQ(text, "");
    buffer.GetText(CPoint(0, 2), CPoint(3, 3), text);
    EXPECT_EQ(text, "def\r\ng") << "the text ends at its first NUL byte";
}

}
