#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "datafile.h"
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
    std::string filename;
    datareading read;
    EXPECT_EQ(readdatafile(read, filename, in, out), file);
    r.names = read.data.names;
    r.seqs = read.data.sequences;
    r.console = out.str().substr(out.str().find("values]\n\n") + 9);
    return r;
}

}  // namespace

// One alignment written in every form a user may bring: each gives the names,
// sequences and command file of the plain sequential file.
TEST(DataFile, EveryFormGivesTheSameCommandFile)
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

