#include <gtest/gtest.h>

#include "tools/common/Settling.h"

namespace {

TEST(Settling, SettledFromTheFirstValueThatStaysInTheBand)
{
    // Enters the band at 2, leaves it at 3, back for good at 4.
    CSettling s = AnalyseSettling({20, 40, 58.5, 62.5, 61.9, 60.2, 59}, 60, 2);
    ASSERT_TRUE(s.settledAt);
    EXPECT_EQ(*s.settledAt, 4);
    EXPECT_DOUBLE_EQ(s.finalValue, 59);
    EXPECT_DOUBLE_EQ(s.overshoot, 2.5);
}

TEST(Settling, BandEdgeCountsAsInside)
{
    CSettling s = AnalyseSettling({10, 58, 62}, 60, 2);
    ASSERT_TRUE(s.settledAt);
    EXPECT_EQ(*s.settledAt, 1);
}

TEST(Settling, NotSettledWhenTheLastValueIsOutside)
{
    CSettling s = AnalyseSettling({20, 60, 60, 63}, 60, 2);
    EXPECT_FALSE(s.settledAt);
    EXPECT_DOUBLE_EQ(s.overshoot, 3);
}

TEST(Settling, FromAboveTheOvershootIsBelowTheSetPoint)
{
    CSettling s = AnalyseSettling({90, 50, 36, 41, 40}, 40, 2);
    EXPECT_DOUBLE_EQ(s.overshoot, 4);
    ASSERT_TRUE(s.settledAt);
    EXPECT_EQ(*s.settledAt, 3);
}

TEST(Settling, NoOvershootWithoutCrossing)
{
    EXPECT_DOUBLE_EQ(AnalyseSettling({20, 40, 55, 59}, 60, 2).overshoot, 0);
}

TEST(Settling, NoValuesNoSettling)
{
    CSettling s = AnalyseSettling({}, 60, 2);
    EXPECT_FALSE(s.settledAt);
    EXPECT_DOUBLE_EQ(s.setPoint, 60);
}

}
