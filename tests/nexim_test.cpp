#include <gtest/gtest.h>

#include <sstream>

#include "nexim.h"
#include "testutil.h"

namespace {

struct imported {
    std::optional<std::string> result;
    std::vector<std::string> names;
    std::vector<std::string> seqs;
    std::string einl;
    std::string console;  // from "skipping" on
};

imported import(const std::string& typed)
{
    std::istringstream in(typed);
    std::ostringstream out;
    imported r;
    r.einl = "default";
    r.result = nexim(r.names, r.seqs, r.einl, in, out);
    r.console = out.str();
    const std::size_t p = r.console.find("respective values]\n\n");
    if (p != std::string::npos)
        r.console.erase(0, p + 20);
    return r;
}

imported importtext(const std::string& text)
{
    writefile("data.nex", text);
    return import("data.nex");
}

}  // namespace

TEST(Nexim, PromptAndCountLine)
{
    tempdir dir;
    std::istringstream in("data.nex");
    std::ostringstream out;
    std::vector<std::string> names, seqs;
    std::string einl;
    writefile("data.nex", "MATRIX a AC b AG ; END;");
    nexim(names, seqs, einl, in, out);
    EXPECT_EQ(out.str(),
              "\n\nPlease enter the name of the NEXUS data file:\n"
              "\n\t[Warning: check wether there are data for comparing all sequence pairs."
              "\n\t This can be done in PAUP by any nj or showdist command."
              "\n\t If some distances are undefined,PAUP will set these arbitrarily to 2 times"
              "\n\t the maximum defined distance. Meaningless values would result."
              "\n\t Exclude pairs with only few shared positions with nucleotide information,"
              "\n\t since the Bootstrap might generate matrices with no shared positions"
              "\n\t in these cases. Tolvi outputs a warning later when bootrapping"
              "\n\t should have resulted in undefined distances and ignores respective values]\n\n"
              "\nskipping NEXUS head....\n\n\n\n2 sequences read;2 characters\n\n");
}

TEST(Nexim, RealDataFiles)
{
    struct datacase {
        const char* file;
        std::size_t ntax;
        std::size_t nchar;
        const char* first;
        const char* last;
    } cases[] = {
        {"primates.chars.nexus", 12, 898, "Lemur|catta", "Tarsius|syrichta"},
        {"cetaceans.nex", 22, 1365, "Bos|taurus", "Ziphius|cavirostris"},
        {"cob_nt.MATRIX-uppercase.nxs", 20, 1149, "Platypus", "Whale"},
    };
    tempdir dir;
    for (const datacase& c : cases) {
        copydata(c.file);
        const imported r = import(c.file);
        ASSERT_EQ(r.result, std::string(c.file));
        ASSERT_EQ(r.names.size(), c.ntax) << c.file;
        EXPECT_EQ(r.names.front(), c.first);
        EXPECT_EQ(r.names.back(), c.last);
        for (const std::string& s : r.seqs)
            EXPECT_EQ(s.size(), c.nchar) << c.file;
        EXPECT_EQ(r.console, "\nskipping NEXUS head....\n\n\n\n" + std::to_string(c.ntax) + " sequences read;" +
                                 std::to_string(c.nchar) + " characters\n\n");
    }
    // Flying_fox keeps its sequence untouched and gets the bar in its name.
    const imported cob = import("cob_nt.MATRIX-uppercase.nxs");
    EXPECT_EQ(cob.names[15], "Flying|fox");
    EXPECT_EQ(cob.seqs[0].substr(0, 10), "atgaacaatt");
}

TEST(Nexim, KeywordInLowerOrMixedCaseIsNotFound)
{
    tempdir dir;
    copydata("cob_nt.nxs");
    const imported r = import("cob_nt.nxs");
    EXPECT_EQ(r.result, std::string("cob_nt.nxs"));
    EXPECT_TRUE(r.names.empty());
    EXPECT_EQ(r.console, "\nskipping NEXUS head....\n\nError reading data.\n\n\n0 sequences read;0 characters\n\n");
}

TEST(Nexim, MatrixEdgeCases)
{
    struct edgecase {
        const char* text;
        std::vector<std::string> names;
        std::vector<std::string> seqs;
        bool error;  // "Error reading data." printed
    } cases[] = {
        // terminator on its own line
        {"#NEXUS\nbegin data; MATRIX\nA_b ACGT_A\nc ACGTAA\n;\nEND;\n", {"A|b", "c"}, {"ACGT_A", "ACGTAA"}, false},
        // semicolon behind the last sequence: that row ends the matrix
        {"MATRIX\na ACG\nb ACT\nc AAA;\nEND;\n", {"a", "b"}, {"ACG", "ACT"}, false},
        // no terminator: rows up to the end of the file, none twice
        {"MATRIX\na ACG\nb ACT\n", {"a", "b"}, {"ACG", "ACT"}, true},
        // last word at the very end of the file, half a row left over
        {"MATRIX a ACG b ACT c", {"a", "b"}, {"ACG", "ACT"}, true},
        {"MATRIX a ACG b ACT", {"a", "b"}, {"ACG", "ACT"}, true},
        // a 4-character alignment reads the terminator as a taxon
        {"MATRIX\na ACGT\n;\nEND;\nb TTTT\n", {"a", ";", "b"}, {"ACGT", "END;", "TTTT"}, true},
        // the keyword inside a word, a comment word too
        {"[xMATRIXx] a AC b AG ; END;", {"a", "b"}, {"AC", "AG"}, false},
        // interleaved blocks of equal width read as more rows
        {"MATRIX a AC b AG a TT b TA ; END;", {"a", "b", "a", "b"}, {"AC", "AG", "TT", "TA"}, false},
        // nothing after the keyword, no keyword at all
        {"x MATRIX", {}, {}, true},
        {"begin data; matrix a AC;", {}, {}, true},
    };
    tempdir dir;
    for (const edgecase& c : cases) {
        const imported r = importtext(c.text);
        EXPECT_EQ(r.names, c.names) << c.text;
        EXPECT_EQ(r.seqs, c.seqs) << c.text;
        EXPECT_EQ(r.console.find("Error reading data.\n") != std::string::npos, c.error) << c.text;
        const std::string count = "\n\n" + std::to_string(c.names.size()) + " sequences read;" +
                                  std::to_string(c.seqs.empty() ? 0 : c.seqs[0].size()) + " characters\n\n";
        EXPECT_TRUE(r.console.ends_with(count)) << c.text << r.console;
    }
}

TEST(Nexim, FileThatCannotBeOpenedOrNoAnswer)
{
    tempdir dir;
    imported r = import("missing.nex more words");
    EXPECT_EQ(r.result, std::string());
    EXPECT_EQ(r.einl, "missing.nex");
    EXPECT_EQ(r.console, "Can't open missing.nex !\n");

    r = import("  \n");
    EXPECT_FALSE(r.result.has_value());
    EXPECT_EQ(r.einl, "default");
}

TEST(Nexim, Replace)
{
    std::string s = "_a__b_";
    replace(s);
    EXPECT_EQ(s, "|a||b|");
}
