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

std::vector<std::string> split(const std::string& text, char sep)
{
    std::vector<std::string> parts;
    std::stringstream s(text);
    for (std::string part; std::getline(s, part, sep);)
        parts.push_back(part);
    return parts;
}

// A table as rows of cells, keyed by the header's column names.
struct table {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::string cell(std::size_t row, const std::string& column) const
    {
        for (std::size_t c = 0; c < header.size(); ++c)
            if (header[c] == column)
                return rows.at(row).at(c);
        ADD_FAILURE() << "no column " << column;
        return "";
    }
};

table readtable(const std::string& name)
{
    table t;
    const std::vector<std::string> lines = split(readfile(name), '\n');
    t.header = split(lines.at(0), '\t');
    for (std::size_t i = 1; i < lines.size(); ++i) {
        t.rows.push_back(split(lines[i], '\t'));
        EXPECT_EQ(t.rows.back().size(), t.header.size()) << "row " << i << " of " << name;
        for (const std::string& c : t.rows.back())
            EXPECT_FALSE(c.empty()) << "empty cell in row " << i << " of " << name;
    }
    return t;
}

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

const std::string triplets =
    " 1 $0a - 2 $2c 0.30000 - 3 $1b 0.50000 0.40000 -\n"
    " 1 $0a - 2 $2c 0.30000 - 3 $1b 0.70000 0.50000 -\n";

// A comparison without a single triplet is nan throughout and is no test for
// Holm's adjustment; the alignment as read gives its own d, ratio and
// jackknife errors, and nan where an undefined distance leaves no triplet.
TEST(Results, NanRowsAndTheAlignmentAsRead)
{
    tempdir dir;
    const std::string second = "###end 0 2\n###begin 1 2 B versus C\n###end 1 2\n";
    const std::string undefined = "No data for comparing taxa\n" + triplets.substr(0, triplets.find('\n') + 1);
    writefile("a.log", "###begin 0 2 A versus C\n" + triplets + "###end 0 2\n###begin 1 2 B versus C\n" + undefined +
                           "###end 1 2\nbegin_bootstrap_replicate 1\n###begin 0 2 A versus C\n" + triplets + second +
                           "end_bootstrap_replicate 1\nbegin_bootstrap_replicate 2\n###begin 0 2 A versus C\n" +
                           triplets + " 1 $0a - 2 $2c 0.30000 - 3 $1b 0.60000 0.40000 -\n" + second +
                           "end_bootstrap_replicate 2\nbootstrap_end\n");
    ASSERT_EQ(run("1\n1\na.log\n").rc, 1);
    const std::vector<std::string> report = split(readfile("a.log.ma"), '\n');
    const std::vector<std::string> nanrow = split(report.at(7), '\t');
    ASSERT_EQ(nanrow.at(0), "B");
    EXPECT_NE(nanrow.at(1).find("nan"), std::string::npos);
    EXPECT_NE(nanrow.at(2).find("nan"), std::string::npos);
    const table t = readtable("a.log.ma.tsv");
    ASSERT_EQ(t.rows.size(), 2u);
    // Replicate 1 gives d 0.15 and ratio 3, replicate 2 d 1/6 and ratio 3.5;
    // every one of these cells is nan in the second row.
    const double d = (0.15 + 1.0 / 6) / 2, z = d / ((1.0 / 6 - 0.15) / std::sqrt(2.0));
    const std::pair<const char*, double> cells[] = {
        {"d_as_read", 0.15},          {"ratio_as_read", 3.0},     {"se_d_jackknife", 0.05},
        {"se_ratio_jackknife", std::sqrt(2.5)}, {"d", d},         {"z", z},
        {"p_holm", std::erfc(z / std::sqrt(2.0))}, {"ratio_pct2.5", 3.0125}, {"ratio_pct97.5", 3.4875},
    };
    for (const auto& [column, value] : cells) {
        EXPECT_NEAR(std::strtod(t.cell(0, column).c_str(), nullptr), value, 1e-5 * std::max(1.0, value)) << column;
        EXPECT_EQ(t.cell(1, column), "nan") << column;
    }
    EXPECT_EQ(t.cell(1, "triplets"), "0");
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
            return writefigure(rows, {std::string("data/") + r.name + ".log", 100, r.comparisons == 45, "Ref"}, out);
        }();
        EXPECT_GE(size.height, static_cast<int>(r.comparisons) * 20) << r.comparisons;
        expectrenders("f.svg");
    }
}

}  // namespace
