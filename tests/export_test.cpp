#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "export.h"
#include "testutil.h"

namespace {

comparisonrecord rec(const std::string& a, const std::string& b, float d, float sed, float ratio, float seratio,
           std::size_t triplets = 1)
{
    comparisonrecord g(0, 1, a, b);
    g.d = d;
    g.sed = sed;
    g.ratio = ratio;
    g.seratio = seratio;
    g.brancha.assign(triplets, 0.0f);
    g.branchb.assign(triplets, 0.0f);
    return g;
}

TEST(Report, SignificanceClasses)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct row {
        float d, sed;
        const char* cls;
    };
    // The floats on either side of each bound (sed 1, so z is d itself).
    auto above = [](double bound) {
        float f = static_cast<float>(bound);
        return f >= bound ? f : std::nextafter(f, 10.0f);
    };
    auto below = [](double bound) {
        float f = static_cast<float>(bound);
        return f < bound ? f : std::nextafter(f, 0.0f);
    };
    const row rows[] = {
        {above(3.89), 1, " (<0.0001)"}, {-above(3.89), 1, " (<0.0001)"}, {below(3.89), 1, " (<0.001)"},
        {above(3.29), 1, " (<0.001)"},  {-below(3.29), 1, " (<0.01)"},   {above(2.58), 1, " (<0.01)"},
        {-above(2.58), 1, " (<0.01)"},  {below(2.58), 1, " (<0.05)"},    {above(1.96), 1, " (<0.05)"},
        {-above(1.96), 1, " (<0.05)"},  {below(1.96), 1, " (insign.)"},  {-below(1.96), 1, " (insign.)"},
        {2.0f, 0.5f, " (<0.0001)"},     {0.5f, 0.0f, " (<0.0001)"},      {-0.5f, 0.0f, " (<0.0001)"},
        {0.0f, 0.0f, " (insign.)"},     {1.0f, nan, " (insign.)"},       {nan, 1.0f, " (insign.)"},
        {1.0f, inf, " (insign.)"},
        // Exactly on a bound: 49/25 is the double nearest 1.96, 389/100 that nearest 3.89.
        {49.0f, 25.0f, " (<0.05)"},     {-49.0f, 25.0f, " (<0.05)"},     {389.0f, 100.0f, " (<0.0001)"},
    };
    for (const row& r : rows) {
        const double z = static_cast<double>(r.d) / static_cast<double>(r.sed);
        EXPECT_STREQ(significance(rec("a", "b", r.d, r.sed, 1, 1)), r.cls) << r.d << "/" << r.sed << " = " << z;
    }
}

TEST(Report, MatrixViewSizes)
{
    const comparisonrecord record = rec("g", "h", 0, 1, 1, 1);
    // Group counts from record counts: the largest n with n(n-1)/2 not above m.
    const int want[] = {1, 2, 2, 3, 3, 3, 4, 4, 4, 4, 5};
    for (int count = 0; count <= 10; ++count)
        EXPECT_EQ(matrixview(std::vector<comparisonrecord>(static_cast<std::size_t>(count), record)).size(),
                  want[count])
            << count;
}

}  // namespace
