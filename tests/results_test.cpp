#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "figure.h"
#include "summary.h"
#include "testutil.h"

namespace {

// The figure must be well-formed XML and turn into a PNG of the size it declares.
void expectrenders(const std::string& svg)
{
    const std::string parse =
        "python3 -c \"import sys, xml.etree.ElementTree as e; e.parse(sys.argv[1])\" '" + svg + "'";
    EXPECT_EQ(std::system(parse.c_str()), 0) << svg << " is no well-formed XML";
    ASSERT_EQ(std::system(("rsvg-convert -o '" + svg + ".png' '" + svg + "'").c_str()), 0) << svg << " does not render";
    const std::string text = readfile(svg), png = readfile(svg + ".png");
    int width = 0, height = 0;
    std::sscanf(text.c_str() + text.find(" width="), " width=\"%d\" height=\"%d\"", &width, &height);
    ASSERT_GT(png.size(), 24u);
    auto be32 = [&png](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), width) << svg;
    EXPECT_EQ(be32(20), height) << svg;
}

// Holm's adjustment and the percentile definition the man page states.
TEST(Results, HolmAndPercentiles)
{
    const double nan = std::nan("");
    const std::vector<double> adjusted = holm({0.01, 0.04, 0.03, 0.005, nan});
    const double want[] = {0.03, 0.06, 0.06, 0.02};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(adjusted[i], want[i], 1e-12) << i;
    EXPECT_TRUE(std::isnan(adjusted[4]));
    EXPECT_EQ(holm({0.6, 0.5})[0], 1.0);
    EXPECT_NEAR(twosidedp(-1.959963985), 0.05, 1e-9);
    EXPECT_DOUBLE_EQ(percentile({4, 1, 3, 2}, 0.025), 1.075);
    EXPECT_DOUBLE_EQ(percentile({4, 1, std::nanf(""), 3, 2}, 0.975), 3.925);
    EXPECT_TRUE(std::isnan(percentile({std::nanf("")}, 0.5)));
}

// Figures of 1 and 45 comparisons, nan values and names that need escaping.
TEST(Results, FiguresRenderAtEverySize)
{
    struct row {
        std::size_t comparisons;
        const char* name;
    };
    for (const row& r : {row{1, "Alpha"}, row{45, "G"}, row{2, "A&B<C>\"'"}}) {
        tempdir dir;
        std::vector<resultrow> rows(r.comparisons);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].groupa = r.name + std::to_string(i);
            rows[i].groupb = "Ref";
            rows[i].d = i % 7 == 3 ? std::nanf("") : 0.1f * static_cast<float>(i) - 1.0f;
            rows[i].sed = 0.2f;
            rows[i].ratio = 1.0f + 0.05f * static_cast<float>(i);
            rows[i].ratiolower = i % 5 == 4 ? std::nan("") : rows[i].ratio - 0.3;
            rows[i].ratioupper = rows[i].ratio + 0.3;
            rows[i].pholm = i % 2 ? 0.01 : 0.5;
            rows[i].significance = "<0.05";
        }
        const figuresize size = [&] {
            std::ofstream out("f.svg");
            return writefigure(rows, {r.name + std::string(".nex"), "*MLS1: dset distance=JC;", 100, "0123456789ab",
                                      r.comparisons == 45, "Ref"},
                               out);
        }();
        EXPECT_GE(size.height, static_cast<int>(r.comparisons) * 20) << r.comparisons;
        expectrenders("f.svg");
    }
}

}  // namespace
