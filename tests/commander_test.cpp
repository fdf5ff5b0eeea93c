#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "commander.h"
#include "construct.h"
#include "replicates.h"
#include "extractor.h"

namespace {

group makegroup(int number, const std::string& name, std::vector<int> taxa)
{
    group g(number, name);
    g.taxa = std::move(taxa);
    return g;
}

}  // namespace

TEST(Commander, DateText)
{
    std::tm t{};
    t.tm_wday = 3;
    t.tm_mon = 5;
    t.tm_mday = 5;
    t.tm_hour = 21;
    t.tm_min = 49;
    t.tm_sec = 8;
    t.tm_year = 125;
    EXPECT_EQ(datetext(t), "Wed Jun  5 21:49:08 2025\n");
    t.tm_wday = 0;
    t.tm_mon = 0;
    EXPECT_EQ(datetext(t), "Sun Jan  5 21:49:08 2025\n");
}

TEST(Commander, MarksStayReadableForTheLogReader)
{
    std::ostringstream console, cd;
    commander c({"1st", "$x", "abc", "2nd"}, {"A", "C", "G", "T"},
                {makegroup(0, "a", {1, 2, 3}), makegroup(12, "b", {1, 3}), makegroup(5, "og", {2})}, console);
    c.writematrix(cd, "x");
    EXPECT_EQ(c.seqnames, (std::vector<std::string>{"$12$0|1st", "$5$0|$x", "$12$0abc", "2nd"}));
    EXPECT_EQ(console.str(), "1  $0|1st\n2  $0|$x\n3  $0abc\n1  $12$0|1st\n3  $12$0abc\n2  $5$0|$x\n");
    EXPECT_NE(cd.str().find("$12$0|1st\tA\n$5$0|$x\tC\n$12$0abc\tG\n2nd\tT\n"), std::string::npos);
    EXPECT_NE(cd.str().find("\n[!1 $12$0|1st]\n[!2 $5$0|$x]"), std::string::npos);
}

TEST(Commander, BootstrapDraws)
{
    // the rounding to single precision moves exactly one draw of 5000 columns up
    int larger = 0;
    for (int r = 0; r < 32768; ++r) {
        const int exact = static_cast<int>(5000LL * r / 32768);
        EXPECT_LE(scaledraw(5000, r) - exact, 1);
        larger += scaledraw(5000, r) != exact;
        EXPECT_LT(scaledraw(16777217, r), 16777217);
    }
    EXPECT_EQ(larger, 1);
}

TEST(Commander, LongAlignmentsAreResampledOverEveryColumn)
{
    // Column c of 40000 carries its own pattern: the base-4 digits of c down the 8 taxa.
    const std::size_t n = 40000;
    std::vector<std::string> names, seqs(8, std::string(n, 'A'));
    for (int t = 0; t < 8; ++t) {
        names.push_back("t" + std::to_string(t));
        for (std::size_t c = 0; c < n; ++c)
            seqs[static_cast<std::size_t>(t)][c] = "ACGT"[(c >> (2 * t)) & 3];
    }
    bootstrapgenerator g(7);
    replicatewriter w(names, seqs, "");
    const std::string block(w.block(g));
    std::vector<std::size_t> drawn(n, 0);
    for (int t = 0; t < 8; ++t) {
        const std::size_t row = block.find("t" + std::to_string(t) + "\t") + 3;
        for (std::size_t k = 0; k < n; ++k)
            drawn[k] |= static_cast<std::size_t>(std::string("ACGT").find(block[row + k])) << (2 * t);
    }
    std::vector<bool> lattice(n, false);  // the columns one 15-bit draw can reach
    for (int r = 0; r < 32768; ++r)
        lattice[static_cast<std::size_t>(scaledraw(static_cast<int>(n), r))] = true;
    std::vector<bool> seen(n, false);
    std::size_t offlattice = 0, distinct = 0;
    for (std::size_t c : drawn) {
        ASSERT_LT(c, n);
        offlattice += !lattice[c];
        distinct += !seen[c];
        seen[c] = true;
    }
    EXPECT_GT(offlattice, 2000u);  // about 18% of the draws
    EXPECT_GT(distinct, 24000u);   // about 63% of the columns
    EXPECT_LT(distinct, 26500u);
    EXPECT_GT(*std::max_element(drawn.begin(), drawn.end()), n - 50);

    std::ostringstream wide, narrow;
    widenote(n, wide);
    widenote(bootstrapgenerator::narrowcolumns, narrow);
    EXPECT_NE(wide.str().find("40000 columns"), std::string::npos);
    EXPECT_EQ(narrow.str(), "");
}
