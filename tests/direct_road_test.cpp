#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "testutil.h"

namespace {

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

