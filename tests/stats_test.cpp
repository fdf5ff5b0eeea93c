#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "jackknife.h"

namespace {

comparisonrecord record(float d, float ratio)
{
    comparisonrecord g(0, 1, "A", "B");
    // One triplet whose brancha - branchb is d and brancha / branchb is ratio.
    const float lengthb = d / (ratio - 1.0f);
    g.brancha = {lengthb * ratio};
    g.branchb = {lengthb};
    return g;
}

TEST(Summary, NonFiniteReplicatesAreLeftOutOfTheirComparisonOnly)
{
    // Records without a triplet (nan), with B branches summing to zero (ratio
    // inf) and with A branches summing beyond the float range, first, in the
    // middle and last: comparison 1 as without them, comparison 0 untouched;
    // comparison 2, without a finite replicate, nan as the rows give it.
    comparisonrecord none(0, 1, "A", "B"), zero = none, huge = none;
    zero.brancha = {0.5f, 0.25f};
    zero.branchb = {0.25f, -0.25f};
    huge.brancha = {3e38f, 3e38f};
    huge.branchb = {1.0f, 1.0f};
    const comparisonrecord other = record(0.4f, 1.2f);
    replicatetable without{{other, record(0.1f, 1.5f), none}, {other, record(-0.3f, 0.7f), none},
                           {other, record(0.05f, 1.1f), none}};
    replicatetable with{{other, none, none}, without[0], {other, zero, none}, without[1], without[2],
                        {other, huge, none}};
    std::vector<comparisonrecord> want, got;
    reducereplicates(without, want);
    const std::vector<leftout> left = reducereplicates(with, got);
    EXPECT_EQ(got[1].d, want[1].d);
    EXPECT_EQ(got[1].ratio, want[1].ratio);
    EXPECT_EQ(got[1].sed, want[1].sed);
    EXPECT_EQ(got[1].seratio, want[1].seratio);
    EXPECT_EQ(got[0].replicates, 6);
    EXPECT_EQ(got[1].replicates, 3);
    EXPECT_EQ(got[2].replicates, 0);
    EXPECT_TRUE(std::isnan(got[2].d));
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].comparison, 1u);
    EXPECT_EQ(left[0].notriplet, 1);
    EXPECT_EQ(left[0].zerosum, 1);
    EXPECT_EQ(left[0].outofrange, 1);
    EXPECT_EQ(left[1].notriplet, 6);
}

}  // namespace
