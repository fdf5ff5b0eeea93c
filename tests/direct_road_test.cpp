#include <gtest/gtest.h>

#include <sstream>
#include <string>

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
    tempdir dir;
    copydata("pairwise.log");
    std::istringstream in1("1\n0\npairwise.log\n"), in2("1\n0\npairwise.log\n");
    std::ostringstream out1, out2, meter;
    EXPECT_EQ(tolvi(in1, out1, &meter), 1);
    EXPECT_EQ(tolvi(in2, out2, nullptr), 1);
    EXPECT_EQ(out1.str(), out2.str());
    EXPECT_NE(meter.str().find("reading the log: 100%"), std::string::npos) << meter.str();
}

}  // namespace

