// Tests of tolvi-standin: the log it writes for Tolvi's command files.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "standin.h"

namespace {

const std::string when = "Mon Jan  1 12:00:00 2024";

struct outcome {
    std::string log;  // the text of the last log opened
    std::string logname;
    logmode mode = logmode::fresh;
    std::string screen;
    std::string error;  // empty when the file was carried out
};

// Runs a command file with the logs kept in memory.
outcome run(std::istream& in)
{
    std::map<std::string, std::unique_ptr<std::ostringstream>> logs;
    outcome r;
    const logopener open = [&](const std::string& name, logmode mode, std::string& why) -> std::ostream* {
        auto& s = logs[name];
        if (mode == logmode::fresh && s) {
            why = "it exists";
            return nullptr;
        }
        if (!s || mode == logmode::replace)
            s = std::make_unique<std::ostringstream>();
        r.logname = name;
        r.mode = mode;
        return s.get();
    };
    std::ostringstream screen;
    try {
        runcommands(in, open, screen, when);
    } catch (const standinerror& e) {
        r.error = e.what();
    }
    if (!r.logname.empty())
        r.log = logs[r.logname]->str();
    r.screen = screen.str();
    return r;
}

outcome run(const std::string& commands)
{
    std::istringstream in(commands);
    return run(in);
}

using rows = std::vector<std::pair<std::string, std::string>>;

// The pieces of a command file, as Tolvi writes them.
std::string head(const std::string& logname = "x.log")
{
    return "#NEXUS\n\nlog file = " + logname + " replace=yes;\n[!\n\n***Command file created by Tolvi " + when +
           "\n***\n\n]";
}

std::string datablock(const rows& taxa, bool replicate = false)
{
    std::string s = replicate ? "\nBegin data;\n" : "Begin data;\n";
    s += "dimensions ntax=" + std::to_string(taxa.size()) + " nchar=" + std::to_string(taxa.at(0).second.size()) +
         ";\nFormat datatype=DNA gap=- missing=?;\n\nMATRIX\n\n";
    for (const auto& [name, seq] : taxa)
        s += name + "\t" + seq + "\n";
    return s + ";\nend;\n\n\n";
}

std::string paupopening(const std::string& setting)
{
    return "begin PAUP;\nfactory; set monitor=no warnreset=no;\n" + setting + "\n\n";
}

std::string triplet(int o, int a, int b)
{
    const std::string oab = std::to_string(o) + " " + std::to_string(a) + " " + std::to_string(b);
    const std::string abo = std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(o);
    return "\ndelete all;\nrestore " + oab + ";\n[!\n\n%triplet " + abo + "\n]ShowDist;[!\n%endtriplet\n\n];";
}

// What ShowDist printed for the triplet whose comment reads "%triplet abo".
std::string shown(const std::string& log, const std::string& abo)
{
    const std::string from = "%triplet " + abo + "\n";
    const std::size_t b = log.find(from);
    if (b == std::string::npos)
        return "(no triplet " + abo + ")";
    const std::size_t e = log.find("\n%endtriplet", b);
    return log.substr(b + from.size(), e == std::string::npos ? std::string::npos : e - b - from.size());
}

std::string readfile(const std::string& name)
{
    std::ifstream in(std::filesystem::path(TOLVI_TEST_DIR) / "data" / name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string masks(const std::string& seq)
{
    std::string r;
    for (char c : seq)
        r += static_cast<char>(basemask(c, '-', '?'));
    return r;
}

// The 20 rows of the cob_nt alignment.
rows cobnt()
{
    const std::string nxs = readfile("cob_nt.MATRIX-uppercase.nxs");
    std::istringstream in(nxs.substr(nxs.find("MATRIX") + 6));
    rows taxa;
    std::string name, seq;
    while (in >> name && name != ";" && in >> seq)
        taxa.emplace_back(name, seq);
    return taxa;
}

// --- Matrix layout ---------------------------------------------------------

TEST(StandinLayout, TripletMatrixByteForByte)
{
    // Jukes-Cantor by hand, d = -3/4 ln(1 - 4p/3):
    //   t1/long3: 1 difference in 10 columns, p = 0.1   -> 0.10733
    //   t1/t4:    the gaps leave 8 columns, 1 difference, p = 0.125 -> 0.13674
    //   long3/t4: 8 columns, 2 differences, p = 0.25    -> 0.30410
    // Restored as 4 1 3, printed in data-block order 1, 3, 4; the label field
    // is as wide as "$1long_name" (11), whose underscore is printed as a blank.
    const rows taxa = {{"$0t1", "ACGTACGTAC"}, {"$0t2", "ACGTACGTTT"}, {"$1long_name", "ACGAACGTAC"},
                       {"$2t4", "TCGTAC--AC"}};
    const outcome r = run(head() + datablock(taxa) + paupopening("dset distance=JC; ") + triplet(4, 1, 3));
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(shown(r.log, "1 3 4"),
              "\n"
              "\n"
              "Jukes-Cantor distance matrix\n"
              "  10 characters are included\n"
              "\n"
              "                      1        2        3\n"
              " 1 $0t1               -\n"
              " 2 $1long name  0.10733        -\n"
              " 3 $2t4         0.13674  0.30410        -\n");
}

// The whole real capture of PAUP's ShowDist for cob_nt, its two column blocks
// joined into one, is exactly what the stand-in prints for all 20 taxa with
// "dset distance=JC missdist=infer".
TEST(StandinLayout, RealPaupMatrixOfCobNt)
{
    const rows taxa = cobnt();
    ASSERT_EQ(taxa.size(), 20u);

    // Join the capture: the continued block's rows (18-20) and its header
    // continue the lines of the first block after the row number and label.
    std::istringstream capture(readfile("cob_nt_jc_showdist.txt"));
    std::vector<std::string> lines;
    for (std::string l; std::getline(capture, l);)
        lines.push_back(l);
    ASSERT_EQ(lines.size(), 31u);
    const std::size_t prefix = 13;  // row number, blank, label field of 10
    std::string joined = lines[0] + "\n" + lines[1] + "\n\n" + lines[3] + lines[27].substr(prefix) + "\n";
    for (int i = 4; i < 24; ++i)
        joined += lines[i] + (i >= 21 ? lines[i + 7].substr(prefix) : "") + "\n";

    const outcome r = run(head() + datablock(taxa) + paupopening("dset distance=JC missdist=infer; ") +
                          "[!\n%triplet all\n]ShowDist;[!\n%endtriplet\n]");
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(shown(r.log, "all"), "\n\n" + joined);
}

// --- Distances ---------------------------------------------------------------

struct distcase {
    const char* a;
    const char* b;
    missingmode mode;
    const char* p;   // "nodata" where undefined
    const char* jc;  // "nodata" or "saturated" where undefined
};

std::string shownvalue(const pairdistance& d)
{
    if (d.state == pairdistance::nodata)
        return "nodata";
    if (d.state == pairdistance::saturated)
        return "saturated";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.5f", d.value);
    return buf;
}

TEST(StandinDistances, WorkedByHand)
{
    const auto ign = missingmode::ignore, inf = missingmode::infer;
    const distcase cases[] = {
        // identical: 0, and not "-0.00000"
        {"ACGTACGTAC", "ACGTACGTAC", ign, "0.00000", "0.00000"},
        // lower case is the same base
        {"acgtacgtac", "ACGTACGTAC", ign, "0.00000", "0.00000"},
        // 1 of 10: JC = -0.75 ln(1 - 0.4/3) = 0.10733
        {"ACGTACGTAC", "ACGAACGTAC", ign, "0.10000", "0.10733"},
        // gap and missing data leave the column out: 1 of 8
        {"ACGTACGTAC", "TCGTAC-?AC", ign, "0.12500", "0.13674"},
        {"ACGTAC-TAC", "TCGTACG?AC", ign, "0.12500", "0.13674"},
        // ambiguity codes are left out the same way: A/A C/C G/G T/A .. A/A: 1 of 5
        {"ACGTRYNA", "ACGAAAAA", ign, "0.20000", "0.23262"},
        // U is T
        {"ACGU", "ACGT", ign, "0.00000", "0.00000"},
        // 3 of 4 differ: p = 0.75, where JC has no finite value
        {"AAAA", "ACGT", ign, "0.75000", "saturated"},
        {"ACGT", "CATG", ign, "1.00000", "saturated"},
        // no column where both have a base
        {"AC--", "--GT", ign, "nodata", "nodata"},
        {"NNRY", "ACGT", ign, "nodata", "nodata"},
        // infer: AA x3, AG x1 among the unambiguous columns; A against a gap
        // counts as 3/4 AA and 1/4 AG: 1.25 of 5, p = 0.25, JC = 0.30410
        {"AAAAA", "AAAG-", inf, "0.25000", "0.30410"},
        {"AAAAA", "AAAG-", ign, "0.25000", "0.30410"},
        // infer: R (A or G) against A: the pair has AA but no GA, so AA; 1 of 5
        {"AAAAR", "AAAGA", inf, "0.20000", "0.23262"},
        {"AAAAR", "AAAGA", ign, "0.25000", "0.30410"},
        // infer: AA x3, AG x1, CC x2; gap against "?" stays out, A against "?"
        // adds 3/4 AA and 1/4 AG: 1.25 of 7, p = 0.17857, JC = 0.20395
        {"AAAACC-A", "AAAGCC??", inf, "0.17857", "0.20395"},
        // infer: T against a gap, but the pair has no column with a T: left out
        {"AAAAT", "AAAG-", inf, "0.25000", "0.30410"},
        {"----", "ACGT", inf, "nodata", "nodata"},
    };
    for (const distcase& c : cases) {
        const pairsites s = comparesites(masks(c.a), masks(c.b), c.mode);
        EXPECT_EQ(shownvalue(distance(s, measure::p)), c.p) << c.a << " / " << c.b;
        EXPECT_EQ(shownvalue(distance(s, measure::jc)), c.jc) << c.a << " / " << c.b;
    }
}

// Under the default treatment (pairwise deletion) the stand-in gives PAUP's
// numbers for every pair of the twelve cob_nt taxa whose sequences all end in
// the same 9 gaps; across other pairs PAUP infers the one-sided gap columns
// (missdist=infer reproduces all 190, see RealPaupMatrixOfCobNt).
TEST(StandinDistances, RealPaupJukesCantorOfCobNt)
{
    const rows taxa = cobnt();
    ASSERT_EQ(taxa.size(), 20u);
    auto jc = [&](int i, int j, missingmode m) {
        return shownvalue(distance(comparesites(masks(taxa[i - 1].second), masks(taxa[j - 1].second), m), measure::jc));
    };
    const std::pair<std::pair<int, int>, const char*> same[] = {
        {{1, 2}, "0.21488"},  {{1, 7}, "0.31470"},   {{2, 9}, "0.37151"},   {{7, 10}, "0.25569"}, {{8, 15}, "0.33636"},
        {{16, 19}, "0.21840"}, {{17, 18}, "0.24711"}, {{19, 20}, "0.21255"}, {{1, 3}, "0.34326"}};
    for (const auto& [ij, paup] : same)
        EXPECT_EQ(jc(ij.first, ij.second, missingmode::ignore), paup) << ij.first << "/" << ij.second;
    // Echidna/Opossum: Opossum has bases where Echidna ends in gaps.
    EXPECT_EQ(jc(2, 3, missingmode::ignore), "0.32006");
    EXPECT_EQ(jc(2, 3, missingmode::infer), "0.32001");
}

// --- Undefined distances ----------------------------------------------------

TEST(StandinUndefined, MessageAndTwiceTheLargestDefinedDistance)
{
    // 1/2 share no column; 1/3: 2 columns, 1 difference, p = 0.5,
    // JC = -0.75 ln(1/3) = 0.82396; 2/3: 2 columns, 0 differences.
    const rows taxa = {{"$0a", "AC--"}, {"$1b", "--GT"}, {"$2c", "CCGT"}};
    const std::string expectedp = "\n\nNo data for comparing taxa 1 and 2. Distance is undefined.\n\n"
                                  "Uncorrected (\"p\") distance matrix\n  4 characters are included\n\n"
                                  "              1        2        3\n"
                                  " 1 $0a        -\n"
                                  " 2 $1b  1.00000        -\n"
                                  " 3 $2c  0.50000  0.00000        -\n";
    outcome r = run(head() + datablock(taxa) + paupopening("") + triplet(3, 1, 2));
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(shown(r.log, "1 2 3"), expectedp);

    r = run(head() + datablock(taxa) + paupopening("dset distance=jc;") + triplet(3, 1, 2));
    EXPECT_NE(shown(r.log, "1 2 3").find(" 2 $1b  1.64792        -\n 3 $2c  0.82396  0.00000        -\n"),
              std::string::npos);
}

TEST(StandinUndefined, SaturatedAndAllUndefined)
{
    // JC of p = 1 has no value; the only other pair has no data, so nothing is
    // defined and both show 0.
    const rows taxa = {{"$0a", "AC--"}, {"$1b", "CA--"}, {"$2c", "--GT"}};
    const outcome r = run(head() + datablock(taxa) + paupopening("dset distance=jc;") + "\ndelete all;\nrestore 1 2;\n"
                          "[!\n%triplet 1 2 3\n]ShowDist;[!\n%endtriplet\n]");
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(shown(r.log, "1 2 3"),
              "\n\nNo finite Jukes-Cantor distance for taxa 1 and 2 (p >= 0.75). Distance is undefined.\n\n"
              "Jukes-Cantor distance matrix\n  4 characters are included\n\n"
              "              1        2\n"
              " 1 $0a        -\n"
              " 2 $1b  0.00000        -\n");
}

// --- Comments, settings, data blocks ------------------------------------------

TEST(StandinCommands, CommentsPrintedAsWritten)
{
    struct c {
        const char* in;
        const char* out;
    };
    const c cases[] = {
        {"[!hello]", "hello\n"},
        {"[! leading blank kept ]", " leading blank kept \n"},
        {"[!\n\n###begin 0 1 A versus B \n\n]", "\n\n###begin 0 1 A versus B \n\n\n"},
        {"[plain comment]", ""},
        {"[!outer [inner] text]", "outer [inner] text\n"},
        {"set [!inside a command] monitor=no;", "inside a command\n"},
        {"[!$0name with marks]", "$0name with marks\n"},
    };
    for (const c& x : cases) {
        const outcome r = run("#NEXUS\nlog file=c.log replace=yes;\n" + std::string(x.in));
        EXPECT_EQ(r.error, "") << x.in;
        EXPECT_EQ(r.log, banner(when) + x.out) << x.in;
    }
}

TEST(StandinCommands, SettingChoosesTheMeasure)
{
    struct c {
        const char* setting;
        const char* title;
        bool note;
    };
    const c cases[] = {
        {"", "Uncorrected (\"p\")", false},
        {"dset distance=JC;", "Jukes-Cantor", false},
        {"dset dist=jc;", "Jukes-Cantor", false},
        {"lset nst=1 basefreq=equal;", "Jukes-Cantor", false},
        {"lset nst = 1 base = eq ;", "Jukes-Cantor", false},
        {"lset nst=1 basefreq=equal; dset distance=ml;", "Jukes-Cantor", false},
        {"dset distance=jc; factory;", "Uncorrected (\"p\")", false},
        {"lset nst=1 basefreq=equal rates=gamma shape=0.5;", "Uncorrected (\"p\")", true},
        {"lset nst=6 basefreq=(0.1 0.2 0.3 0.4) rates=gamma;", "Uncorrected (\"p\")", true},
        {"lset nst=2 basefreq=equal; dset distance=ml;", "Uncorrected (\"p\")", true},
        {"dset distance=K2P;", "Uncorrected (\"p\")", true},
        {"dset distance=jc rates=gamma;", "Uncorrected (\"p\")", true},
    };
    const rows taxa = {{"$0a", "ACGT"}, {"$1b", "ACGA"}, {"$2c", "ACGT"}};
    for (const c& x : cases) {
        const outcome r = run(head() + datablock(taxa) + paupopening(x.setting) + triplet(3, 1, 2));
        ASSERT_EQ(r.error, "") << x.setting;
        const std::string m = shown(r.log, "1 2 3");
        EXPECT_EQ(m.substr(0, 2 + std::string(x.title).size()), "\n\n" + std::string(x.title)) << x.setting;
        EXPECT_EQ(r.log.find("Note:") != std::string::npos, x.note) << x.setting;
    }
}

TEST(StandinCommands, ReplicateDataBlockReplacesTheCurrentOne)
{
    const rows first = {{"$0a", "AAAAAAAAAA"}, {"$1b", "AAAAAAAAAC"}, {"$2c", "CCAAAAAAAA"}};
    const rows second = {{"$0a", "AAAAAAAAAAAA"}, {"$1b", "AAAAAACCCCCC"}, {"$2c", "AAAAAAAAAAAA"}};
    const outcome r = run(head() + datablock(first) + paupopening("") + triplet(3, 1, 2) +
                          "[!\nbegin_bootstrap_replicate 1\n]" + datablock(second, true) + "begin PAUP;\n" +
                          "[!\n%triplet 7 7 7\n]ShowDist;[!\n%endtriplet\n]" + triplet(3, 1, 2) +
                          "[!\nend_bootstrap_replicate 1\n]\n\n[!bootstrap_end\n\n]");
    ASSERT_EQ(r.error, "");
    // First block: the triplet shows 0.1, 0.2, 0.3.
    EXPECT_NE(shown(r.log, "1 2 3").find(" 2 $1b  0.10000        -\n 3 $2c  0.20000  0.30000        -\n"),
              std::string::npos);
    // The new block makes every taxon active again and brings its own length.
    const std::string all = shown(r.log, "7 7 7");
    EXPECT_NE(all.find("  12 characters are included\n"), std::string::npos);
    EXPECT_NE(all.find(" 2 $1b  0.50000        -\n 3 $2c  0.00000  0.50000        -\n"), std::string::npos);
    EXPECT_EQ(r.log.find("Data matrix has 3 taxa, 10 characters"), r.log.rfind("Data matrix has 3 taxa, 10 characters"));
    EXPECT_NE(r.log.find("Data matrix has 3 taxa, 12 characters"), std::string::npos);
    // The second triplet is the last one in the log and reads the new data.
    const std::size_t last = r.log.rfind("%triplet 1 2 3");
    EXPECT_NE(r.log.find(" 2 $1b  0.50000        -", last), std::string::npos);
}

TEST(StandinCommands, DeleteAndRestoreLists)
{
    const rows taxa = {{"$0a", "AAAA"}, {"$0b", "AAAC"}, {"$1c", "AACC"}, {"$1d", "ACCC"}, {"$2e", "CCCC"}};
    struct c {
        const char* commands;
        const char* labels;  // the labels shown, in order
    };
    const c cases[] = {
        {"", "$0a $0b $1c $1d $2e"},
        {"delete all; restore 5 1 3;", "$0a $1c $2e"},
        {"delete all; restore 2-4;", "$0b $1c $1d"},
        {"delete all; restore 4 - 2 1;", "$0a $0b $1c $1d"},
        {"delete 2 4;", "$0a $1c $2e"},
        {"delete all; restore $2e $0A;", "$0a $2e"},
        {"delete all; restore 3 3 1;", "$0a $1c"},
        {"delete all; restore all;", "$0a $0b $1c $1d $2e"},
    };
    for (const c& x : cases) {
        const outcome r = run(head() + datablock(taxa) + paupopening("") + x.commands + "[!\n%triplet 0 0 0\n]ShowDist;[!\n%endtriplet\n]");
        ASSERT_EQ(r.error, "") << x.commands;
        std::string labels;
        std::istringstream m(shown(r.log, "0 0 0"));
        for (std::string line; std::getline(m, line);)
            if (line.size() > 3 && line[3] == '$')
                labels += (labels.empty() ? "" : " ") + line.substr(3, line.find(' ', 3) - 3);
        EXPECT_EQ(labels, x.labels) << x.commands;
    }
}

TEST(StandinCommands, LogCommand)
{
    outcome r = run("#NEXUS\nlog file = 'my data.log' replace=yes;[!x]");
    EXPECT_EQ(r.logname, "my data.log");
    EXPECT_EQ(r.mode, logmode::replace);
    r = run("#NEXUS\nlog file=a.log append;[!x]");
    EXPECT_EQ(r.mode, logmode::append);
    // Output before the log and after "log stop" goes to the screen.
    r = run("#NEXUS\n[!before]log file=a.log;[!in]log stop;[!after]");
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.mode, logmode::fresh);
    EXPECT_EQ(r.log, banner(when) + "in\n");
    EXPECT_EQ(r.screen, "before\nafter\n");
    // A second log command starts a new log.
    r = run("#NEXUS\nlog file=a.log replace=yes;[!one]log file=b.log replace=yes;[!two]");
    EXPECT_EQ(r.logname, "b.log");
    EXPECT_EQ(r.log, banner(when) + "two\n");
}

TEST(StandinCommands, BannerAndNotesHaveNoWordNoAndNoMark)
{
    const rows taxa = {{"$0a", "ACGT"}, {"$1b", "ACGA"}, {"$2c", "ACGT"}};
    const outcome r = run(head() + datablock(taxa) + paupopening("lset nst=$6; dset distance=No;"));
    ASSERT_EQ(r.error, "");
    EXPECT_NE(r.log.find("Note:"), std::string::npos);
    std::istringstream words(r.log);
    for (std::string w; words >> w;) {
        EXPECT_NE(w, "No");
        EXPECT_EQ(w.find('$'), std::string::npos) << w;
    }
}

// --- Malformed command files --------------------------------------------------

TEST(StandinErrors, MalformedCommandFiles)
{
    const rows taxa = {{"$0a", "ACGT"}, {"$1b", "ACGA"}, {"$2c", "ACGT"}};
    const std::string ok = head() + datablock(taxa) + paupopening("");
    struct c {
        std::string text;
        const char* says;
    };
    const c cases[] = {
        {"", "begins with \"#NEXUS\""},
        {"#NEXUS\n[!\n\n###begin", "line 2: the comment that begins here is never closed"},
        {"#NEXUS\nlog file='x.log replace=yes;", "quoted word that begins here is never closed"},
        {"#NEXUS\n[!x]\n", "never opens a log"},
        {"#NEXUS\nlog replace=yes;", "log without a file name"},
        {"#NEXUS\nlog file=x.log replace=maybe;", "takes yes or no"},
        {"#NEXUS\n" + datablock(taxa), "a data block before any log was opened"},
        {ok + triplet(3, 1, 4), "line 28: restore: taxon 4 is outside the data block, which has 3 taxa"},
        {ok + "restore zebra;", "there is no taxon \"zebra\""},
        {ok + "restore 1 = 2;", "\"=\" in a taxon list"},
        {ok + "delete all;\nShowDist;", "ShowDist while every taxon is deleted"},
        {ok + "delete all", "the command \"delete\" that begins here has no \";\""},
        {ok + "= 3;", "\"=\" where a command should begin"},
        {head() + "ShowDist;", "ShowDist before any data block"},
        {head() + "restore 1;", "restore before any data block"},
        {head() + datablock({{"$0a", "ACGT"}, {"$1b", "ACG"}}), "row 2 ($1b) has a sequence of 3 characters, but the dimensions say nchar=4"},
        {head() + "Begin data;\ndimensions ntax=2 nchar=4;\nformat datatype=dna;\nmatrix\na ACGT\nb AC GT\n;\nend;", "row 2 (b) has a sequence of 2"},
        {head() + "Begin data;\ndimensions ntax=2 nchar=4;\nmatrix\na ACGT\n;\nend;", "the matrix ends after 1 rows, but the dimensions say ntax=2"},
        {head() + "Begin data;\ndimensions ntax=1 nchar=4;\nmatrix\na ACGT\nb ACGT\n;\nend;", "more rows than ntax=1"},
        {head() + "Begin data;\ndimensions ntax=1 nchar=4;\nmatrix\na\n;\nend;", "row 1 (a) has no sequence"},
        {head() + "Begin data;\ndimensions ntax=1 nchar=4;\nmatrix\na AC.T\n;\nend;", "column 3: \".\" is not a DNA symbol"},
        {head() + "Begin data;\nmatrix\na ACGT\n;\nend;", "the matrix comes before \"dimensions"},
        {head() + "Begin data;\ndimensions ntax=0 nchar=4;", "ntax must be a whole number from 1"},
        {head() + "Begin data;\nformat datatype=protein;", "only DNA data"},
        {head() + "Begin data;\nformat interleave;", "\"interleave\" matrices cannot be read"},
        {head() + "Begin data;\nformat gap=A;", "gap must be one symbol"},
        {head() + "Begin data;\ndimensions ntax=1 nchar=4;\nmatrix\na ACGT\n;\n", "the data block that begins here has no \"end;\""},
        {head() + "Begin data;\ndimensions ntax=1 nchar=4;\nmatrix\na ACGT\n;\nbegin PAUP;", "a block begins inside the data block"},
        {head() + "Begin data;\nend;", "has no matrix"},
        {head() + "dset missdist=guess;", "dset missdist takes infer or ignore"},
        {head() + "lset nst=;", "has \"=\" but no value"},
    };
    for (const c& x : cases) {
        const outcome r = run(x.text);
        EXPECT_NE(r.error.find(x.says), std::string::npos) << "input: " << x.text << "\nerror: " << r.error;
    }
}

TEST(StandinErrors, LogThatCannotBeOpenedOrStreamThatFails)
{
    // A log that exists is not overwritten without replace or append.
    outcome r = run("#NEXUS\nlog file=a.log;[!1]log file=a.log;");
    EXPECT_NE(r.error.find("line 2: the log \"a.log\" cannot be opened: it exists"), std::string::npos) << r.error;

    struct failing : std::streambuf {
        int_type underflow() override { throw std::runtime_error("read error"); }
    } buf;
    std::istream in(&buf);
    r = run(in);
    EXPECT_NE(r.error.find("could not be read"), std::string::npos) << r.error;
}

}  // namespace
