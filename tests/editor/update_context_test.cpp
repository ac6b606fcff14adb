#include <gtest/gtest.h>

#include "zorkit/editor/DeleteUpdateContext.h"
#include "zorkit/editor/InsertUpdateContext.h"

namespace {

CPoint Adjusted(CUpdateContext& context, CPoint point)
{
    context.AdjustPoint(point);
    return point;
}

TEST(InsertUpdateContext, MovesOnlyTextAfterTheInsertionPoint)
{
    // "x\r\ny" inserted at (1, 0) of "ab": ends at (1, 1).
    CInsertUpdateContext context(CPoint(1, 0), CPoint(1, 1));
    EXPECT_EQ(Adjusted(context, CPoint(2, 0)), CPoint(2, 1)) << "the b moved to the new line's end";
    EXPECT_EQ(Adjusted(context, CPoint(1, 0)), CPoint(1, 0)) << "the insertion point stays before the text";
    EXPECT_EQ(Adjusted(context, CPoint(0, 0)), CPoint(0, 0));
    EXPECT_EQ(Adjusted(context, CPoint(7, 3)), CPoint(7, 4)) << "later lines move down";
}

TEST(InsertUpdateContext, LinesAboveAndInsideOneLineInsertions)
{
    CInsertUpdateContext context(CPoint(4, 2), CPoint(9, 2));
    EXPECT_EQ(Adjusted(context, CPoint(8, 1)), CPoint(8, 1));
    EXPECT_EQ(Adjusted(context, CPoint(5, 2)), CPoint(10, 2));
    EXPECT_EQ(Adjusted(context, CPoint(3, 5)), CPoint(3, 5)) << "a one-line insertion moves no line";
}

TEST(DeleteUpdateContext, SameLineDeletion)
{
    CDeleteUpdateContext context(CPoint(2, 1), CPoint(5, 1));
    EXPECT_EQ(Adjusted(context, CPoint(7, 0)), CPoint(7, 0));
    EXPECT_EQ(Adjusted(context, CPoint(1, 1)), CPoint(1, 1));
    EXPECT_EQ(Adjusted(context, CPoint(3, 1)), CPoint(2, 1)) << "inside the removed text";
    EXPECT_EQ(Adjusted(context, CPoint(5, 1)), CPoint(2, 1)) << "at its end";
    EXPECT_EQ(Adjusted(context, CPoint(8, 1)), CPoint(5, 1)) << "after it";
    EXPECT_EQ(Adjusted(context, CPoint(8, 2)), CPoint(8, 2));
}

TEST(DeleteUpdateContext, ManyLineDeletion)
{
    CDeleteUpdateContext context(CPoint(3, 2), CPoint(1, 5));
    EXPECT_EQ(Adjusted(context, CPoint(9, 1)), CPoint(9, 1));
    EXPECT_EQ(Adjusted(context, CPoint(2, 2)), CPoint(2, 2)) << "before the range on its first line";
    EXPECT_EQ(Adjusted(context, CPoint(6, 2)), CPoint(3, 2)) << "the rest of the first line is gone";
    EXPECT_EQ(Adjusted(context, CPoint(0, 3)), CPoint(3, 2)) << "a removed line";
    EXPECT_EQ(Adjusted(context, CPoint(40, 4)), CPoint(3, 2));
    EXPECT_EQ(Adjusted(context, CPoint(0, 5)), CPoint(3, 2)) << "before the end on the last line";
    EXPECT_EQ(Adjusted(context, CPoint(1, 5)), CPoint(3, 2)) << "the end itself";
    EXPECT_EQ(Adjusted(context, CPoint(4, 5)), CPoint(6, 2)) << "the kept tail joins the first line";
    EXPECT_EQ(Adjusted(context, CPoint(2, 8)), CPoint(2, 5)) << "later lines move up";
}

}
