#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "jackknife.h"

namespace {

struct stats {
    float d, ratio, sed, seratio, ratiochebyshevlower, ratiochebyshevupper, ratiozlower, ratiozupper, dchebyshevlower,
        dchebyshevupper, dzlower, dzupper;
};

stats run(const std::vector<float>& a, const std::vector<float>& b)
{
    stats s{};
    jackknife j;
    j.calc(a, b, s.d, s.ratio, s.sed, s.seratio, s.ratiochebyshevlower, s.ratiochebyshevupper, s.ratiozlower,
           s.ratiozupper, s.dchebyshevlower, s.dchebyshevupper, s.dzlower, s.dzupper);
    return s;
}

TEST(Jackknife, WorkedExample)
{
    const stats s = run({1, 3}, {1, 1});
    EXPECT_EQ(s.ratio, 2.0f);
    EXPECT_EQ(s.d, 1.0f);
    EXPECT_EQ(s.seratio, 1.0f);
    EXPECT_EQ(s.sed, 1.0f);
    const float lims[8] = {s.ratiochebyshevlower, s.ratiochebyshevupper, s.ratiozlower, s.ratiozupper,
                           s.dchebyshevlower,     s.dchebyshevupper,     s.dzlower,     s.dzupper};
    const double want[8] = {-2.472136, 6.472136, 0.04, 3.96, -3.472136, 5.472136, -0.96, 2.96};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(lims[i], want[i], 5e-7) << i;
}

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
