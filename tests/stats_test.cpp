#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "jack.h"

namespace {

struct stats {
    float d, ratio, sdd, sdratio, chconfu, chconfo, zconfu, zconfo, dchconfu, dchconfo, dzconfu, dzconfo;
};

stats run(const std::vector<float>& a, const std::vector<float>& b)
{
    stats s{};
    jack j;
    j.calc(a, b, s.d, s.ratio, s.sdd, s.sdratio, s.chconfu, s.chconfo, s.zconfu, s.zconfo, s.dchconfu, s.dchconfo,
           s.dzconfu, s.dzconfo);
    return s;
}

TEST(Jackknife, WorkedExample)
{
    const stats s = run({1, 3}, {1, 1});
    EXPECT_EQ(s.ratio, 2.0f);
    EXPECT_EQ(s.d, 1.0f);
    EXPECT_EQ(s.sdratio, 1.0f);
    EXPECT_EQ(s.sdd, 1.0f);
    const float lims[8] = {s.chconfu, s.chconfo, s.zconfu, s.zconfo, s.dchconfu, s.dchconfo, s.dzconfu, s.dzconfo};
    const double want[8] = {-2.472136, 6.472136, 0.04, 3.96, -3.472136, 5.472136, -0.96, 2.96};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(lims[i], want[i], 5e-7) << i;
}

grcomp record(float d, float ratio)
{
    grcomp g(0, 1, "A", "B");
    // One triplet whose KOA - KOB is d and KOA / KOB is ratio.
    const float kob = d / (ratio - 1.0f);
    g.KOAs = {kob * ratio};
    g.KOBs = {kob};
    return g;
}

TEST(Summary, MeansAndStandardDeviationsOverReplicates)
{
    replicatetable table;
    for (int r = 1; r <= 3; ++r) {
        grcomp g(0, 1, "A", "B");
        g.KOAs = {static_cast<float>(r), static_cast<float>(r)};
        g.KOBs = {1.0f, 1.0f};
        table.push_back({g});
    }
    std::vector<grcomp> final(5, grcomp(9, 9, "x", "y"));
    confint(table, final);
    ASSERT_EQ(final.size(), 1u);
    EXPECT_EQ(final[0].ratio, 2.0f);
    EXPECT_EQ(final[0].sdratio, 1.0f);
    EXPECT_EQ(final[0].d, 1.0f);
    EXPECT_EQ(final[0].sdd, 1.0f);
    // Everything else is the first replicate's, its jackknife limits included.
    EXPECT_EQ(final[0].KOAs, table[0][0].KOAs);
    EXPECT_EQ(final[0].zconfu, table[0][0].zconfu);
    EXPECT_EQ(table[0][0].ratio, 1.0f);
    EXPECT_EQ(table[2][0].ratio, 3.0f);
}

TEST(Summary, NonFiniteReplicatesAreLeftOutOfTheirComparisonOnly)
{
    // Records without a triplet (nan), with B branches summing to zero (ratio
    // inf) and with A branches summing beyond the float range, first, in the
    // middle and last: comparison 1 as without them, comparison 0 untouched;
    // comparison 2, without a finite replicate, nan as the rows give it.
    grcomp none(0, 1, "A", "B"), zero = none, huge = none;
    zero.KOAs = {0.5f, 0.25f};
    zero.KOBs = {0.25f, -0.25f};
    huge.KOAs = {3e38f, 3e38f};
    huge.KOBs = {1.0f, 1.0f};
    const grcomp other = record(0.4f, 1.2f);
    replicatetable without{{other, record(0.1f, 1.5f), none}, {other, record(-0.3f, 0.7f), none},
                           {other, record(0.05f, 1.1f), none}};
    replicatetable with{{other, none, none}, without[0], {other, zero, none}, without[1], without[2],
                        {other, huge, none}};
    std::vector<grcomp> want, got;
    confint(without, want);
    const std::vector<leftout> left = confint(with, got);
    EXPECT_EQ(got[1].d, want[1].d);
    EXPECT_EQ(got[1].ratio, want[1].ratio);
    EXPECT_EQ(got[1].sdd, want[1].sdd);
    EXPECT_EQ(got[1].sdratio, want[1].sdratio);
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
