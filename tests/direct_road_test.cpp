#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "testutil.h"

namespace {

// The golden runs: a hand-made log in PAUP's layout, evaluated on the direct
// road; console and report must match byte for byte.
TEST(DirectRoad, GoldenRuns)
{
    struct row {
        const char* log;
        const char* answers;
        const char* golden;
    };
    const row rows[] = {
        {"pairwise.log", "1\n0\npairwise.log\n", "direct_pairwise"},
        {"ranking.log", "1\n1\nranking.log\n", "direct_ranking"},
        // Every non-zero answer selects the ranking list on this road.
        {"ranking.log", "1 2 ranking.log", "direct_ranking"},
    };
    for (const row& r : rows) {
        tempdir dir;
        copydata(r.log);
        const runresult res = run(r.answers);
        EXPECT_EQ(res.rc, 1) << r.answers;
        expectgolden(std::string(r.golden) + ".console", res.console);
        expectgolden(std::string(r.golden) + ".ma", readfile(std::string(r.log) + ".ma"));
    }
}


// Progress lines go to the terminal stream only; the transcript stays the same.
TEST(DirectRoad, ProgressLinesStayOffTheTranscript)
{
    const struct {
        std::vector<const char*> files;
        const char* answers;
        const char* progress;  // on the terminal stream
    } cases[] = {
        {{"pairwise.log"}, "1\n0\npairwise.log\n", "reading the log: 100%"},
        {{"small.nex", "small.grdef", "MLS"}, "0\nsmall.nex\n0\n1\nsmall.grdef\n0\n1\n20\n",
         "\r  writing bootstrap replicate 10 of 20\r  writing bootstrap replicate 20 of 20\n"},
    };
    for (const auto& c : cases) {
        tempdir dir;
        for (const char* f : c.files)
            copydata(f);
        std::istringstream in1(c.answers), in2(c.answers);
        std::ostringstream out1, out2, meter;
        EXPECT_EQ(tolvi(in1, out1, &meter), tolvi(in2, out2, nullptr));
        EXPECT_EQ(out1.str(), out2.str());
        EXPECT_NE(meter.str().find(c.progress), std::string::npos) << meter.str();
    }
}

}  // namespace

