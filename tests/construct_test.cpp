#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "construct.h"
#include "testutil.h"

namespace {

std::string progresstext(int replicatecount)
{
    std::string s;
    for (int k = 1; k <= replicatecount; ++k) {
        const std::string p = progress(k, replicatecount);
        if (!p.empty())
            s += std::to_string(k) + ":" + p.substr(1) + " ";
    }
    return s;
}

}  // namespace

TEST(Construct, ProgressInTenths)
{
    EXPECT_EQ(progresstext(10), "1:10% 2:20% 3:30% 4:40% 5:50% 6:60% 7:70% 8:80% 9:90% 10:100% ");
    EXPECT_EQ(progresstext(5), "1:20% 2:40% 3:60% 4:80% 5:100% ");
    EXPECT_EQ(progresstext(2), "1:50% 2:100% ");
    EXPECT_EQ(progresstext(3), "3:100% ");
    EXPECT_EQ(progresstext(7), "7:100% ");
    EXPECT_EQ(progresstext(1001), "1001:100% ");
    EXPECT_EQ(progresstext(1500),
              "150:10% 300:20% 450:30% 600:40% 750:50% 900:60% 1050:70% 1200:80% 1350:90% 1500:100% ");
    // 90 * 0.7 is just below 63 in double precision
    EXPECT_EQ(progresstext(90), "9:10% 18:20% 27:30% 36:40% 45:50% 54:60% 72:80% 81:90% 90:100% ");
}

