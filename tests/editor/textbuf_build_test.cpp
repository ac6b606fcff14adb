#include <gtest/gtest.h>

#include <memory>

#include "RecordingView.h"
#include "zorkit/editor/InsertUpdateContext.h"

namespace {

// Exposes the line records, whose capacity is not part of the public interface.
class ProbedBuf : public CTextBuf {
public:
    int Capacity(int line) const { return m_lines[std::size_t(line)].capacity; }
};

TEST(TextBufBuilding, ConstructionLeavesAnEmptyNeutralBuffer)
{
    CTextBuf buffer;
    EXPECT_EQ(buffer.GetLineCount(), 0);
    EXPECT_FALSE(buffer.GetReadOnly());
    EXPECT_FALSE(buffer.IsModified());
}

TEST(TextBufBuilding, InsertLineAtPositionsAndAtTheEnd)
{
    CTextBuf buffer;
    buffer.InsertLine("b");
    buffer.InsertLine("a", 1, 0);
    buffer.InsertLine("dXX", 1, -1);
    buffer.InsertLine(nullptr, 0, 2);
    buffer.InsertLine(nullptr);
    EXPECT_EQ(LinesOf(buffer), (Lines{"a", "b", "", "d", ""}));
    EXPECT_FALSE(buffer.IsModified()) << "building text is not editing";
}

TEST(TextBufBuilding, InsertLineRefusesBadArguments)
{
    CTextBuf buffer;
    buffer.InsertLine("a");
    buffer.InsertLine("x", 1, 5);
    buffer.InsertLine("x", 1, -2);
    buffer.InsertLine("x", -1, 0);
    buffer.InsertLine(nullptr, 3, 0);
    EXPECT_EQ(LinesOf(buffer), (Lines{"a"}));
}

TEST(TextBufBuilding, AppendLineForms)
{
    CTextBuf buffer;
    buffer.AppendLine("x");
    EXPECT_EQ(LinesOf(buffer), (Lines{"x"})) << "an empty buffer gets line 0";
    buffer.AppendLine("b", 7, 1);
    EXPECT_EQ(LinesOf(buffer), (Lines{"x", "b"})) << "a line past the end adds one line";
    buffer.AppendLine("yz", 0);
    buffer.AppendLine("", 1);
    buffer.AppendLine(nullptr, 1);
    buffer.AppendLine(nullptr);
    buffer.AppendLine("c");
    EXPECT_EQ(LinesOf(buffer), (Lines{"xyz", "bc"})) << "the one-argument form starts no new line";
    buffer.AppendLine(nullptr, 0, 4);
    buffer.AppendLine("q", -1, 1);
    EXPECT_EQ(LinesOf(buffer), (Lines{"xyz", "bc"}));
}

TEST(TextBufBuilding, CapacityGrowsInSixteenByteSteps)
{
    ProbedBuf buffer;
    buffer.InsertLine("");
    buffer.InsertLine("0123456789abcde");
    buffer.InsertLine("0123456789abcdef");
    EXPECT_EQ(buffer.Capacity(0), 16);
    EXPECT_EQ(buffer.Capacity(1), 16);
    EXPECT_EQ(buffer.Capacity(2), 32);
    buffer.AppendLine("x", 1, 1);
    EXPECT_EQ(buffer.Capacity(1), 32) << "a line never fills its storage";
    buffer.AppendLine(std::string(20, 'y').c_str(), 2, 20);
    EXPECT_EQ(buffer.Capacity(2), 48);
    ASSERT_TRUE(buffer.DeleteText(nullptr, CPoint(0, 2), CPoint(36, 2)));
    EXPECT_EQ(buffer.Capacity(2), 48) << "deleting never shrinks";
}

TEST(TextBufBuilding, InitNewAddsALineAndResetsTheViews)
{
    RecordingView view;
    CTextBuf buffer;
    buffer.AddView(&view);
    buffer.InsertLine("kept");
    buffer.SetReadOnly(TRUE);
    buffer.SetModified(TRUE);
    EXPECT_TRUE(buffer.InitNew());
    EXPECT_EQ(LinesOf(buffer), (Lines{"kept", ""}));
    EXPECT_FALSE(buffer.GetReadOnly());
    EXPECT_FALSE(buffer.IsModified());
    ASSERT_EQ(view.m_updates.size(), 1u);
    EXPECT_EQ(view.m_updates[0].hints, TBU_RESET);
    EXPECT_EQ(view.m_updates[0].line, -1);
    EXPECT_EQ(view.m_updates[0].source, nullptr);
    EXPECT_FALSE(view.m_updates[0].hadContext);
}

TEST(TextBufBuilding, FreeAllKeepsFlagsAndViews)
{
    RecordingView view;
    CTextBuf buffer;
    buffer.AddView(&view);
    buffer.InsertLine("a");
    buffer.SetReadOnly(TRUE);
    buffer.SetModified(TRUE);
    buffer.FreeAll();
    EXPECT_EQ(buffer.GetLineCount(), 0);
    EXPECT_TRUE(buffer.GetReadOnly());
    EXPECT_TRUE(buffer.IsModified());
    buffer.SetLineFlags(0, LINEMARK_DOT, TRUE);
    buffer.UpdateViews(nullptr, nullptr, TBU_WIDTH, 0);
    EXPECT_EQ(view.m_updates.size(), 1u) << "the view is still listed; no flag change on a missing line";
}

TEST(TextBufBuilding, ReadersAreSafeOutsideTheText)
{
    CTextBuf buffer;
    EXPECT_EQ(buffer.GetLineLength(0), 0);
    EXPECT_EQ(buffer.GetLineChars(0), nullptr);
    EXPECT_EQ(buffer.GetLineFlags(0), 0u);
    buffer.InsertLine("abc");
    EXPECT_EQ(buffer.GetLineLength(1), 0);
    EXPECT_EQ(buffer.GetLineLength(-1), 0);
    EXPECT_EQ(buffer.GetLineChars(-1), nullptr);
    CString text("stale");
    buffer.GetText(CPoint(0, 0), CPoint(4, 0), text);
    EXPECT_EQ(text, "") << "x past the line's end";
    buffer.GetText(CPoint(2, 0), CPoint(1, 0), text);
    EXPECT_EQ(text, "") << "start after end";
    buffer.GetText(CPoint(0, 0), CPoint(0, 1), text);
    EXPECT_EQ(text, "") << "a line that is not there";
}

TEST(TextBufFlags, SetAndClearNotifyOnlyOnChange)
{
    RecordingView view;
    CTextBuf buffer;
    buffer.InsertLine("a");
    buffer.InsertLine("b");
    buffer.AddView(&view);

    buffer.SetLineFlags(1, LINEMARK_DOT, TRUE);
    EXPECT_EQ(buffer.GetLineFlags(1), LINEMARK_DOT);
    buffer.SetLineFlags(1, LINEMARK_DOT, TRUE);
    buffer.SetLineFlags(1, LINEMARK_ARROW, FALSE);
    ASSERT_EQ(view.m_updates.size(), 1u) << "setting a bit already there or clearing one absent sends nothing";
    EXPECT_EQ(view.m_updates[0].hints, TBU_LINEFLAGS | TBU_ONELINE);
    EXPECT_EQ(view.m_updates[0].line, 1);
    EXPECT_EQ(view.m_updates[0].source, nullptr);

    buffer.SetLineFlags(1, LINEMARK_DOT | LINEMARK_RING, TRUE);
    EXPECT_EQ(buffer.GetLineFlags(1), LINEMARK_DOT) << "any bit of the mask already set leaves the flags";
    buffer.SetLineFlags(1, 0x80000001, TRUE);
    buffer.SetLineFlags(1, LINEMARK_DOT | LINEMARK_RING, FALSE);
    EXPECT_EQ(buffer.GetLineFlags(1), 0x80000001u) << "host bits are kept";
    EXPECT_EQ(buffer.GetLineFlags(0), 0u);
    EXPECT_EQ(view.m_updates.size(), 3u);
    EXPECT_FALSE(buffer.IsModified());

    buffer.SetLineFlags(5, LINEMARK_RING, TRUE);
    buffer.SetLineFlags(-1, LINEMARK_RING, TRUE);
    EXPECT_EQ(view.m_updates.size(), 3u);
}

TEST(TextBufViews, UpdatesGoToEveryViewInOrderOfAttachment)
{
    RecordingView first, second;
    CTextBuf buffer;
    std::vector<CTextView*> order;
    first.m_onUpdate = [&] { order.push_back(&first); };
    second.m_onUpdate = [&] { order.push_back(&second); };
    buffer.AddView(&first);
    buffer.AddView(&second);
    buffer.AddView(nullptr);
    CInsertUpdateContext context(CPoint(0, 0), CPoint(1, 0));
    buffer.UpdateViews(&second, &context, TBU_ONELINE | TBU_WIDTH, 4);
    EXPECT_EQ(order, (std::vector<CTextView*>{&first, &second})) << "the source view is called too";
    EXPECT_EQ(first.m_updates[0].source, &second);
    EXPECT_EQ(first.m_updates[0].line, 4);
    EXPECT_TRUE(first.m_updates[0].hadContext);

    buffer.RemoveView(&first);
    buffer.RemoveView(&first);
    buffer.UpdateViews(nullptr, nullptr, TBU_RESET, -1);
    EXPECT_EQ(first.m_updates.size(), 1u);
    EXPECT_EQ(second.m_updates.size(), 2u);
}

TEST(TextBufViews, DuplicatesAreListedAndRemovedOneAtATime)
{
    RecordingView view;
    CTextBuf buffer;
    buffer.AddView(&view);
    buffer.AddView(&view);
    buffer.UpdateViews(nullptr, nullptr, TBU_RESET, -1);
    EXPECT_EQ(view.m_updates.size(), 2u);
    buffer.RemoveView(&view);
    buffer.UpdateViews(nullptr, nullptr, TBU_RESET, -1);
    EXPECT_EQ(view.m_updates.size(), 3u);
}

TEST(TextBufViews, AViewMayDetachWhileBeingUpdated)
{
    RecordingView leaving, staying;
    CTextBuf buffer;
    leaving.m_onUpdate = [&] { buffer.RemoveView(&leaving); };
    buffer.AddView(&leaving);
    buffer.AddView(&staying);
    buffer.UpdateViews(nullptr, nullptr, TBU_RESET, -1);
    buffer.UpdateViews(nullptr, nullptr, TBU_RESET, -1);
    EXPECT_EQ(leaving.m_updates.size(), 1u);
    EXPECT_EQ(staying.m_updates.size(), 2u) << "the view after a leaving one is not skipped";
}

TEST(TextBufRuntimeClass, CreatedByNameOnceTheLibraryIsLoaded)
{
    const CRuntimeClass* cls = CRuntimeClass::FromName("CTextBuf");
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<CObject> made(cls->CreateObject());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    auto* buffer = dynamic_cast<CTextBuf*>(made.get());
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->GetLineCount(), 0);
}

}
