#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "datafile.h"
#include "testutil.h"

namespace {

struct imported {
    std::vector<std::string> names;
    std::vector<std::string> seqs;
    std::string console;  // after "skipping NEXUS head...."
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
    r.console = out.str().substr(out.str().find("head....\n\n") + 10);
    return r;
}

}  // namespace

// One alignment written in every form a user may bring: each gives the names,
// sequences and command file of the plain sequential file, and the console
// says how it was read where that is not the plain way.
TEST(DataFile, EveryFormGivesTheSameCommandFile)
{
    const std::string canonical = "#NEXUS\nbegin data;\n  dimensions ntax=4 nchar=12;\n"
                                  "  format datatype=dna gap=- missing=?;\n  MATRIX\n"
                                  "  Homo_sap ACGTACGTAC-T\n  Pan      ACGTACGTACGA\n"
                                  "  Gorilla  ACGRACGAAC?A\n  Lemur    TCGTTCGTACCT\n  ;\nend;\n";
    const struct {
        const char* form;
        std::string text;
        const char* note;  // in the console before the count line; "" for none
    } forms[] = {
        {"sequential", canonical, ""},
        {"byte order mark", "\xEF\xBB\xBF" + canonical, ""},
        {"interleaved, lower-case keywords",
         "#nexus\nbegin data; dimensions ntax=4 nchar=12; format datatype=dna gap=- missing=? interleave;\nmatrix\n"
         "Homo_sap ACGTAC\nPan ACGTAC\nGorilla ACGRAC\nLemur TCGTTC\n\n"
         "Homo_sap GTAC-T\nPan GTACGA\nGorilla GAAC?A\nLemur GTACCT\n;\nend;\n",
         "read as NEXUS by the NEXUS Class Library"},
        {"taxa and characters blocks, quoted names, comments, wrapped rows",
         "#NEXUS\n[written by hand]\nbegin taxa; dimensions ntax=4; taxlabels 'Homo sap' Pan Gorilla Lemur; end;\n"
         "begin characters; dimensions nchar=12; format datatype=dna gap=- missing=?;\nMatrix\n[ 123456789012 ]\n"
         "'Homo sap' ACGTAC\n  GTAC-T [voucher 12]\nPan ACGTAC GTACGA\nGorilla acgracgaac?a\n"
         "Lemur TCGTTCGTACCT\n;\nend;\n",
         "read as NEXUS by the NEXUS Class Library"},
        {"matchchar, own gap and missing symbols",
         "#NEXUS\nbegin data; dimensions ntax=4 nchar=12; format datatype=dna gap=~ missing=% matchchar=.;\n"
         "MATRIX\nHomo_sap ACGTACGTAC~T\nPan ..........GA\nGorilla ...R...A..%A\nLemur T...T.....C.\n;\nend;\n",
         "read as NEXUS by the NEXUS Class Library"},
        {"default exclusion set", 
         "#NEXUS\nbegin data; dimensions ntax=4 nchar=13; format datatype=dna gap=- missing=?;\nMATRIX\n"
         "Homo_sap ACGTACGTAC-TA\nPan ACGTACGTACGAC\nGorilla ACGRACGAAC?AG\nLemur TCGTTCGTACCTT\n;\nend;\n"
         "begin assumptions; exset * last = 13; exset other = 1-12; end;\n",
         "1 of the 13 characters is left out, as PAUP leaves it out: the file's default exclusion set last"},
        {"a broken block after the matrix, and commands the command file does not carry",
         canonical + "begin sets; charset third = 3-2000\\3; end;\nbegin paup; outgroup Lemur; end;\n"
                     "begin assumptions; wtset * w = 2: 1-5; end;\n",
         "Not applied: outgroup in the PAUP block (line 13), WTSET * (line 14)."},
        {"FASTA, descriptions in the headers",
         ">Homo_sap mitochondrion, complete\nACGTAC\nGTAC-T\n>Pan\nACGTACGTACGA\n>Gorilla 3\nacgracgaac?a\n"
         ">Lemur\nTCGTTCGTACCT\n",
         "the first word of each header is taken as the taxon's name"},
        {"relaxed PHYLIP",
         "4 12\nHomo_sap ACGTACGTAC-T\nPan ACGTACGTACGA\nGorilla ACGRACGAAC?A\nLemur TCGTTCGTACCT\n",
         "read as sequential PHYLIP by the NEXUS Class Library"},
        {"relaxed PHYLIP, interleaved",
         " 4 12\nHomo_sap ACGTAC\nPan ACGTAC\nGorilla ACGRAC\nLemur TCGTTC\n\nGTAC-T\nGTACGA\nGAAC?A\nGTACCT\n",
         "read as interleaved PHYLIP"},
        {"strict PHYLIP",
         " 4 12\nHomo sap  ACGTACGTAC-T\nPan       ACGTACGTACGA\nGorilla   ACGRACGAAC?A\nLemur     TCGTTCGTACCT\n",
         "read as strict PHYLIP writes them"},
        {"strict PHYLIP, interleaved",
         " 4 12\nHomo sap  ACGTAC\nPan       ACGTAC\nGorilla   ACGRAC\nLemur     TCGTTC\n\nGTAC-T\nGTACGA\nGAAC?A\n"
         "GTACCT\n",
         "strict interleaved PHYLIP"},
    };
    const std::vector<std::string> names{"Homo|sap", "Pan", "Gorilla", "Lemur"};
    const std::vector<std::string> seqs{"ACGTACGTAC-T", "ACGTACGTACGA", "ACGRACGAAC?A", "TCGTTCGTACCT"};
    std::string want;
    for (const auto& f : forms) {
        tempdir dir;
        copydata("MLS");
        writefile("data", f.text);
        const imported r = import("data");
        EXPECT_EQ(r.names, names) << f.form;
        EXPECT_EQ(r.seqs, seqs) << f.form;
        if (*f.note == '\0')
            EXPECT_EQ(r.console.substr(0, 4), "\n\n4 ") << f.form << "\n" << r.console;
        else
            EXPECT_NE(r.console.find(f.note), std::string::npos) << f.form << "\n" << r.console;
        run(lines({"0", "data", "0", "0", "a 1;b 2,3;q 4;0", "1", "1"}));
        const std::string cd = maskdate(readfile("data.cd"));
        if (want.empty())
            want = cd;
        EXPECT_EQ(cd, want) << f.form;
    }
}
