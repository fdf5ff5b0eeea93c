#include <gtest/gtest.h>

#include <filesystem>
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
    copydata("cob_nt.nxs");  // keyword spelled Matrix: only the library finds it
    EXPECT_EQ(import("cob_nt.nxs").console,
              "\nskipping NEXUS head....\n\n\nThe alignment is read as NEXUS by the NEXUS Class Library.\n\n\n"
              "20 sequences read;1149 characters\n\n");
}

// One alignment written in every form a user may bring: each gives the names,
// sequences and command file of the plain sequential file.
TEST(Nexim, EveryFormGivesTheSameCommandFile)
{
    const std::string canonical = "#NEXUS\nbegin data;\n  dimensions ntax=4 nchar=12;\n"
                                  "  format datatype=dna gap=- missing=?;\n  MATRIX\n"
                                  "  Homo_sapiens ACGTACGTAC-T\n  Pan          ACGTACGTACGA\n"
                                  "  Gorilla      ACGRACGAAC?A\n  Lemur        TCGTTCGTACCT\n  ;\nend;\n";
    const struct {
        const char* form;
        std::string text;
    } forms[] = {
        {"sequential", canonical},
        {"interleaved, lower-case keywords",
         "#nexus\nbegin data; dimensions ntax=4 nchar=12; format datatype=dna gap=- missing=? interleave;\nmatrix\n"
         "Homo_sapiens ACGTAC\nPan ACGTAC\nGorilla ACGRAC\nLemur TCGTTC\n\n"
         "Homo_sapiens GTAC-T\nPan GTACGA\nGorilla GAAC?A\nLemur GTACCT\n;\nend;\n"},
        {"taxa and characters blocks, quoted names, comments, wrapped rows",
         "#NEXUS\n[written by hand]\nbegin taxa; dimensions ntax=4; taxlabels 'Homo sapiens' Pan Gorilla Lemur; end;\n"
         "begin characters; dimensions nchar=12; format datatype=dna gap=- missing=?;\nMatrix\n[ 123456789012 ]\n"
         "'Homo sapiens' ACGTAC\n  GTAC-T [voucher 12]\nPan ACGTAC GTACGA\nGorilla acgracgaac?a\n"
         "Lemur TCGTTCGTACCT\n;\nend;\n"},
        {"matchchar, own gap and missing symbols",
         "#NEXUS\nbegin data; dimensions ntax=4 nchar=12; format datatype=dna gap=~ missing=% matchchar=.;\n"
         "MATRIX\nHomo_sapiens ACGTACGTAC~T\nPan ..........GA\nGorilla ...R...A..%A\nLemur T...T.....C.\n;\nend;\n"},
        {"FASTA", ">Homo sapiens\nACGTAC\nGTAC-T\n>Pan\nACGTACGTACGA\n>Gorilla\nacgracgaac?a\n>Lemur\nTCGTTCGTACCT\n"},
        {"relaxed PHYLIP",
         "4 12\nHomo_sapiens ACGTACGTAC-T\nPan ACGTACGTACGA\nGorilla ACGRACGAAC?A\nLemur TCGTTCGTACCT\n"},
        {"relaxed PHYLIP, interleaved",
         " 4 12\nHomo_sapiens ACGTAC\nPan ACGTAC\nGorilla ACGRAC\nLemur TCGTTC\n\nGTAC-T\nGTACGA\nGAAC?A\nGTACCT\n"},
    };
    const std::vector<std::string> names{"Homo|sapiens", "Pan", "Gorilla", "Lemur"};
    const std::vector<std::string> seqs{"ACGTACGTAC-T", "ACGTACGTACGA", "ACGRACGAAC?A", "TCGTTCGTACCT"};
    std::string want;
    for (const auto& f : forms) {
        tempdir dir;
        copydata("MLS");
        writefile("data", f.text);
        const imported r = import("data");
        EXPECT_EQ(r.names, names) << f.form;
        EXPECT_EQ(r.seqs, seqs) << f.form;
        // the library's reading is announced only where the word-by-word one differs
        EXPECT_EQ(r.console.find("NEXUS Class Library") == std::string::npos, f.text == canonical) << f.form;
        run(lines({"0", "data", "0", "0", "a 1;b 2,3;q 4;0", "1", "1"}));
        const std::string cd = maskdate(readfile("data.cd"));
        if (want.empty())
            want = cd;
        EXPECT_EQ(cd, want) << f.form;
    }
}

TEST(Nexim, FilesRefusedOrKept)
{
    const std::string nexus = "#NEXUS\nbegin data; dimensions ntax=2 nchar=4; format datatype=dna gap=-;\nmatrix\n";
    const struct {
        std::string text;
        const char* message;  // empty: read, with these rows
        std::vector<std::string> names;
    } cases[] = {
        // what only the word-by-word reading takes goes on working
        {"MATRIX a ACG b ACT c", "", {"a", "b"}},
        {"#NEXUS begin data; MATRIX a AC- b A-T ; END;", "", {"a", "b"}},
        {"hello world\n", "holds no word MATRIX, begins neither with #NEXUS (NEXUS) nor with \">\" (FASTA) nor with "
                          "the numbers of taxa and characters (PHYLIP); the file begins \"hello world\"", {}},
        {"[xMATRIXx] a AC b AG a TT ; END;", "does not begin with #NEXUS, and its rows after the word MATRIX", {}},
        {"#NEXUS\nbegin trees; tree t = (a,b); end;\n", "(NEXUS) holds no alignment: no character matrix", {}},
        {nexus + "a ACGT\nb ACG\n;\nend;\n", "cannot be read as NEXUS, line 6: Error reading character 4 for taxon 2", {}},
        {nexus + "a ACGT\na ACGT\n;\nend;\n", "cannot be read as NEXUS, line 5: Data for this taxon (a)", {}},
        {nexus + "'a;b' ACGT\nc ACGT\n;\nend;\n", "The name a;b (taxon 1) holds a character that ends a name", {}},
        {"#NEXUS begin data; dimensions ntax=2 nchar=2; format datatype=protein; matrix a AE b AC; end;",
         "cannot be read as NEXUS: the character matrix is not declared as DNA or RNA", {}},
        {">a\nACGT\n>b\nACET\n", "cannot be read as FASTA, line 4: taxon b, column 3: the character 'E' is no DNA", {}},
        {">a b\nACGT\n>c\nACGTA\n", "cannot be read as FASTA: the sequence of c has 5 characters, that of a|b 4", {}},
        {">a_b\nACGT\n>a b\nACGA\n", "The taxa 1 and 2 have the same name a|b", {}},
        {"3 4\na ACGT\nb ACG\nc ACGT\n", "cannot be read as PHYLIP, line 3: the sequence of b has 3 characters, the "
                                        "first line declares 4", {}},
        // a matrix larger than the file is refused before it is set aside in memory
        {"3 1274836482\na ACGT\nb ACGT\nc ACGT\n", "PHYLIP, line 1: the file declares 3 taxa of 1274836482", {}},
        {"#NEXUS begin data; dimensions ntax=2 nchar=2000000000; matrix a AC b AG; end;",
         "NEXUS, line 1: the file declares 2 taxa of 2000000000 characters, more than its", {}},
    };
    tempdir dir;
    for (const auto& c : cases) {
        writefile("data", c.text);
        std::istringstream in("data\n");
        std::ostringstream out;
        imported r;
        std::string einl;
        const std::optional<std::string> read = nexim(r.names, r.seqs, einl, in, out);
        EXPECT_EQ(read.has_value(), *c.message == '\0') << c.text << out.str();
        EXPECT_EQ(r.names, c.names) << c.text;
        if (*c.message) {
            EXPECT_NE(out.str().find(std::string(c.message)), std::string::npos) << c.text << out.str();
        }
    }
    // a refusal ends the run with 2 before anything is written
    writefile("data", ">a\nACGT\n>b\nACET\n");
    const runresult r = run(lines({"0", "data", "0", "2"}));
    EXPECT_EQ(r.rc, 2);
    EXPECT_TRUE(r.console.ends_with(": Tolvi stops.\n")) << r.console;
    EXPECT_FALSE(std::filesystem::exists("data.grdef"));
}
