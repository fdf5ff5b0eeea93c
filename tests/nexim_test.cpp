#include <gtest/gtest.h>

#include <sstream>

#include "nexim.h"
#include "testutil.h"

namespace {

struct imported {
    std::vector<std::string> names;
    std::vector<std::string> seqs;
    std::string console;  // from the end of the warning block on
};

imported import(const std::string& file)
{
    std::istringstream in(file);
    std::ostringstream out;
    imported r;
    std::string einl;
    EXPECT_EQ(nexim(r.names, r.seqs, einl, in, out), file);
    r.console = out.str().substr(out.str().find("values]\n\n") + 9);
    return r;
}

}  // namespace

TEST(Nexim, RealDataFiles)
{
    const struct {
        const char* file;
        std::size_t ntax, nchar;
        const char* first;
        const char* last;
    } cases[] = {
        {"primates.chars.nexus", 12, 898, "Lemur|catta", "Tarsius|syrichta"},
        {"cetaceans.nex", 22, 1365, "Bos|taurus", "Ziphius|cavirostris"},
        {"cob_nt.MATRIX-uppercase.nxs", 20, 1149, "Platypus", "Whale"},
    };
    tempdir dir;
    for (const auto& c : cases) {
        copydata(c.file);
        const imported r = import(c.file);
        ASSERT_EQ(r.names.size(), c.ntax) << c.file;
        EXPECT_EQ(r.names.front(), c.first);
        EXPECT_EQ(r.names.back(), c.last);
        for (const std::string& s : r.seqs)
            EXPECT_EQ(s.size(), c.nchar) << c.file;
        EXPECT_EQ(r.console, "\nskipping NEXUS head....\n\n\n\n" + std::to_string(c.ntax) + " sequences read;" +
                                 std::to_string(c.nchar) + " characters\n\n");
    }
    copydata("cob_nt.nxs");  // keyword spelled Matrix: never found
    EXPECT_EQ(import("cob_nt.nxs").console,
              "\nskipping NEXUS head....\n\nError reading data.\n\n\n0 sequences read;0 characters\n\n");
}

TEST(Nexim, MatrixEdgeCases)
{
    const struct {
        const char* text;
        std::vector<std::string> names, seqs;
        bool error;  // "Error reading data." printed
    } cases[] = {
        {"#NEXUS\nbegin data; MATRIX\nA_b ACGT_A\nc ACGTAA\n;\nEND;\n", {"A|b", "c"}, {"ACGT_A", "ACGTAA"}, false},
        // a semicolon behind the last sequence makes that row end the matrix
        {"MATRIX\na ACG\nb ACT\nc AAA;\nEND;\n", {"a", "b"}, {"ACG", "ACT"}, false},
        // rows up to the end of the file, none twice, also without a last line break
        {"MATRIX\na ACG\nb ACT\n", {"a", "b"}, {"ACG", "ACT"}, true},
        {"MATRIX a ACG b ACT c", {"a", "b"}, {"ACG", "ACT"}, true},
        {"MATRIX a ACG b ACT", {"a", "b"}, {"ACG", "ACT"}, true},
        // a 4-character alignment reads the terminator as a taxon
        {"MATRIX\na ACGT\n;\nEND;\nb TTTT\n", {"a", ";", "b"}, {"ACGT", "END;", "TTTT"}, true},
        {"[xMATRIXx] a AC b AG a TT ; END;", {"a", "b", "a"}, {"AC", "AG", "TT"}, false},
        {"x MATRIX", {}, {}, true},
        {"begin data; matrix a AC;", {}, {}, true},
    };
    tempdir dir;
    for (const auto& c : cases) {
        writefile("data.nex", c.text);
        const imported r = import("data.nex");
        EXPECT_EQ(r.names, c.names) << c.text;
        EXPECT_EQ(r.seqs, c.seqs) << c.text;
        EXPECT_EQ(r.console.find("Error reading data.\n") != std::string::npos, c.error) << c.text;
        EXPECT_TRUE(r.console.ends_with("\n\n" + std::to_string(c.names.size()) + " sequences read;" +
                                        std::to_string(c.seqs.empty() ? 0 : c.seqs[0].size()) + " characters\n\n"))
            << r.console;
    }
}
