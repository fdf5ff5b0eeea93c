#include <gtest/gtest.h>

#include <filesystem>

#include "testutil.h"

// Whole construct-first runs, driven by the answers a user would type.

namespace {

// The files of a run, copied from tests/data into the working folder.
void setup(const std::vector<std::string>& files)
{
    for (const std::string& f : files)
        copydata(f);
}

// A complete run: the command file is written, handed to the stand-in for
// PAUP, and the same answers are given again, now with the log in place. The
// console, the command file and the report are compared with golden files.
void completerun(const std::string& golden, const std::string& nex, const std::vector<std::string>& files,
                 const std::vector<std::string>& answers)
{
    tempdir dir;
    setup(files);
    const std::string input = lines(answers) + nex + ".log\n";
    const runresult first = run(input);
    EXPECT_EQ(first.rc, 2) << "no log yet";
    const std::string cd = readfile(nex + ".cd");
    writefile(nex + ".log", fakepaup(cd));

    const runresult second = run(input);
    EXPECT_EQ(second.rc, 0);
    EXPECT_EQ(maskdate(readfile(nex + ".cd")), maskdate(cd)) << "the replicates differ between runs";
    expectgolden(golden + ".console", second.console);
    expectgolden(golden + ".cd", maskdate(cd));
    expectgolden(golden + ".ma", readfile(nex + ".ma"));
}

const std::vector<std::string> smallfiles{"small.nex", "MLS", "usertree"};

// Typed groups over several lines, a taxon in two groups, a user tree, and
// the answers -1 and 2 that mean "construct first" and "pairwise" here.
const std::vector<std::string> pairwisetyped{"-1", "small.nex", "2", "0", "apes 1-3;", "clones\n 4 ,5\n;",
                                             "monkeys 6-7, 3;", "q", "8;", "1", "2", "10"};

}  // namespace

TEST(Runs, PairwiseTypedGroups)
{
    completerun("pairwise_typed", "small.nex", smallfiles, pairwisetyped);
}

TEST(Runs, RankingTypedGroups)
{
    completerun("ranking_typed", "primates.chars.nexus", {"primates.chars.nexus", "MLS"},
                {"0", "primates.chars.nexus", "1", "0", "hominids 2-4;", "gibbon 6;", "macaques 7 - 10;", "q",
                 "1,11,12;", "0", "1", "2"});
}

TEST(Runs, PairwiseDefinitionFile)
{
    completerun("pairwise_grdef", "small.nex", {"small.nex", "small.grdef", "MLS"},
                {"0", "small.nex", "0", "1", "small.grdef", "0", "3", "5"});
}

TEST(Runs, RankingDefinitionFile)
{
    completerun("ranking_grdef", "cetaceans.nex", {"cetaceans.nex", "cetaceans.grdef", "MLS"},
                {"0", "cetaceans.nex", "1", "1", "cetaceans.grdef", "0", "1", "2"});
}

TEST(Runs, Template)
{
    tempdir dir;
    setup({"cob_nt.MATRIX-uppercase.nxs"});
    const runresult r = run(lines({"0", "cob_nt.MATRIX-uppercase.nxs", "0", "2"}));
    EXPECT_EQ(r.rc, 1);
    expectgolden("template.console", r.console);
    expectgolden("template.grdef", readfile("cob_nt.MATRIX-uppercase.nxs.grdef"));
    EXPECT_FALSE(std::filesystem::exists("cob_nt.MATRIX-uppercase.nxs.cd"));
}

TEST(Runs, EndsOfTheRun)
{
    struct endcase {
        const char* what;
        std::string answers;
        std::vector<std::string> files;
        int rc;
        const char* message;  // in the console output
    };
    const std::string start = "0\nsmall.nex\n";
    const std::string pw = start + "0\n0\n";
    const std::string groups = pw + "a 1-2;b 3;q 8;";
    const endcase cases[] = {
        {"data file missing", "0\nnothere.nex\n", {}, 2,
         "Can't open nothere.nex !\n\nThe NEXUS data file nothere.nex cannot be opened: Tolvi stops.\n"},
        {"no taxon", "0\nempty.nex\n", {}, 2,
         "\nskipping NEXUS head....\n\nError reading data.\n\n\n0 sequences read;0 characters\n\n"
         "\nNo taxon could be read from the NEXUS data file empty.nex (Tolvi reads the name and sequence pairs after "
         "the word MATRIX): Tolvi stops.\n"},
        {"not a number", start + "yes\n", smallfiles, 2,
         "\n\nA number was expected as the answer, not \"yes\": Tolvi stops.\n"},
        {"setting not found", groups + "0\n7\n", smallfiles, 1,
         "\nusing *MLS7:\nno matching setting type!\n\ncommander destructed\n"},
        {"no settings file", groups + "0\n1\n", {"small.nex"}, 2,
         "\nusing *MLS1:\n\n\nThe settings file \"MLS\" cannot be opened: Tolvi stops.\n\ncommander destructed\n"},
        {"no user tree", groups + "1\n", {"small.nex", "MLS"}, 2,
         "\n\nThe tree file \"usertree\" cannot be opened: Tolvi stops.\n\ncommander destructed\n"},
        {"taxon 0", pw + "a 0-2;b 3;q 8;", smallfiles, 2,
         "\n\nThe taxon number 0 in group a is not a taxon of the data file (1 to 8): Tolvi stops.\n"},
        {"taxon 9", pw + "a 1-2;b 3;q 8,9;", smallfiles, 2,
         "\n\nThe taxon number 9 in group outgroup is not a taxon of the data file (1 to 8): Tolvi stops.\n"},
        {"huge range", pw + "a 1-2000000000;b 3;q 8;", smallfiles, 2,
         "\n\nThe taxon number 9 in group a is not a taxon of the data file (1 to 8): Tolvi stops.\n"},
        {"taxon too large", pw + "a 1-2;b 3, 4294967297;q 8;", smallfiles, 2,
         "\n\nThe taxon number 4294967297 in group b is too large: Tolvi stops.\n"},
        {"file row beyond the taxa", start + "0\n1\nlong.grdef\n", {"small.nex"}, 2,
         "\n\nThe taxon number 9 in group b is not a taxon of the data file (1 to 8): Tolvi stops.\n"},
        {"marker word as group name", pw + "###end 1;b 3;q 8;", smallfiles, 2,
         "\n\nThe group name ###end is a word Tolvi looks for in the PAUP log and cannot be used: Tolvi stops.\n"},
        {"no ingroup", pw + "q 8;0\n1\n", smallfiles, 2,
         "\nError: no groups defined!\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup "
         "taxa: no comparison can be made. Tolvi stops.\n\ncommander destructed\n"},
        {"no groups at all", start + "0\n3\n0\n1\n", smallfiles, 2,
         "\nError: no groups defined!\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup "
         "taxa: no comparison can be made. Tolvi stops.\n\ncommander destructed\n"},
        {"ranking, one ingroup", start + "1\n0\na 1;q 8;0\n1\n", smallfiles, 2,
         "dset distance=JC; \n\n\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup "
         "taxa: no comparison can be made. Tolvi stops.\n\ncommander destructed\n"},
        {"group without taxa", pw + "a x;b 3;q 8;0\n1\n", smallfiles, 2,
         "set criterion=distance; dset distance=JC; \n\n\n\nThe groups as defined give no triplet"},
        {"only overlapping taxa", pw + "a 1,2;b 1;q 2;0\n1\n", smallfiles, 2,
         "\nNote: the groups a and b share 1 taxon; triplets that name a taxon twice are left out.\n"
         "\nNote: the groups a and outgroup share 1 taxon; triplets that name a taxon twice are left out.\n1  $0"},
        {"only overlapping taxa, the end", pw + "a 1,2;b 1;q 2;0\n1\n", smallfiles, 2,
         "\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup taxa: no comparison can be "
         "made. Tolvi stops.\n\ncommander destructed\n"},
        {"ranking, only the outgroup", start + "1\n0\nq 8;0\n1\n", smallfiles, 2,
         "\nError: not enough groups defined for ranking!\n\nThe groups as defined give no triplet"},
        {"marker word as taxon name", "0\nmarked.nex\n0\n0\na 1;b 2;q 3;", {}, 2,
         "\n\nThe taxon name ###begin (taxon 2) is a word Tolvi looks for in the PAUP log and cannot be used: Tolvi "
         "stops.\n"},
        {"broken definition file", start + "0\n1\nsmall.nex\n0\n1\n", smallfiles, 2,
         "Tolvi built 22.11.04\n\nNot a Tolvi file!\n\n"},
        {"no replicate", groups + "0\n1\n0\n", smallfiles, 2,
         "\nNumber of bootstrap replicates:\n\n\n\nAt least one bootstrap replicate is needed: Tolvi stops.\n"
         "\ncommander destructed\n"},
        {"no log", groups + "0\n1\n2\nnothere.log\n", smallfiles, 2,
         "Can't open nothere.log !\n\nNo bootstrap replicate could be read from the log nothere.log: there is nothing "
         "to evaluate, and no report is written.\n\ncommander destructed\n"},
        {"command file not created", groups, {"small.nex", "small.nex.cd/"}, 2,
         "\n\nThe command file small.nex.cd cannot be created: Tolvi stops.\n"},
        {"template not created", start + "0\n2\n", {"small.nex", "small.nex.grdef/"}, 2,
         "\nThe group definition template small.nex.grdef could not be written: Tolvi stops.\n"},
    };
    for (const endcase& c : cases) {
        tempdir dir;
        writefile("empty.nex", "#NEXUS\nbegin data; dimensions ntax=0;\nend;\n");
        writefile("marked.nex", "MATRIX a AC ###begin AG c AT ; END;");
        writefile("long.grdef", "#Tolvi a b beginmatrix a 0 b 1 og 2 endmatrix begintaxa "
                                "t1 1 t2 1 t3 1 t4 1 t5 1 t6 1 t7 3 t8 3 t9 2 endtaxa");
        for (const std::string& f : c.files)
            if (f.ends_with("/"))
                std::filesystem::create_directory(f);
            else
                copydata(f);
        const runresult r = run(c.answers);
        EXPECT_EQ(r.rc, c.rc) << c.what;
        EXPECT_NE(r.console.find(c.message), std::string::npos)
            << c.what << "\n---\n"
            << r.console.substr(r.console.size() > 600 ? r.console.size() - 600 : 0);
        // only a run that wrote its command file completely hands it over
        EXPECT_EQ(r.console.find("\nDone.\n") != std::string::npos, std::string(c.what) == "no log") << c.what;
    }
}

TEST(Runs, CutShortAnywhereEndsWithTwo)
{
    tempdir dir;
    setup(smallfiles);
    const std::string input = lines(pairwisetyped);
    for (std::size_t cut = 0; cut <= input.size(); ++cut) {
        const runresult r = run(input.substr(0, cut));
        EXPECT_EQ(r.rc, 2) << "cut after " << cut << " characters: " << input.substr(0, cut);
        EXPECT_NE(r.console.find("Tolvi stops.\n"), std::string::npos) << input.substr(0, cut);
    }
}
