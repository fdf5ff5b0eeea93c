// Tests of tolvi-distances: the layout of its logs (held to a real capture of
// PAUP's ShowDist), its distances where columns hold gaps, missing data or
// ambiguity codes (the golden transcripts run it on gap-free data only), and
// the command files it refuses.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine.h"
#include "formulas.h"
#include "testutil.h"

namespace {

const std::string when = "Mon Jan  1 12:00:00 2024";

struct outcome {
    std::string log, logname, screen;  // log: the text of the last log opened
    std::string error;                 // empty when the file was carried out
    bool refused = false;              // the error is a refusal
};

// Runs a command file with the logs kept in memory; a log opened "fresh" must not exist yet.
outcome carryout(const std::string& commands)
{
    std::istringstream in(commands);
    std::map<std::string, std::ostringstream> logs;
    outcome r;
    const logopener open = [&](const std::string& name, logmode mode, std::string& why) -> std::ostream* {
        const auto [log, isnew] = logs.try_emplace(name);
        if (!isnew && mode == logmode::fresh)
            return why = "it exists", nullptr;
        if (mode == logmode::replace)
            log->second.str("");
        r.logname = name;
        return &log->second;
    };
    std::ostringstream screen;
    try {
        runcommands(in, open, screen, when);
    } catch (const engineerror& e) {
        r.error = e.what();
        r.refused = dynamic_cast<const refusal*>(&e) != nullptr;
    }
    r.log = logs[r.logname].str();
    r.screen = screen.str();
    return r;
}


using rows = std::vector<std::pair<std::string, std::string>>;

// A command file as Tolvi writes it up to its first triplet: head, data block,
// the opening of the PAUP block with `setting`.
std::string opening(const rows& taxa, const std::string& setting = "")
{
    std::string s = "#NEXUS\n\nlog file = x.log replace=yes;\n[!\n\n***Command file created by Tolvi " + when +
                    "\n***\n\n]Begin data;\ndimensions ntax=" + std::to_string(taxa.size()) +
                    " nchar=" + std::to_string(taxa.at(0).second.size()) +
                    ";\nFormat datatype=DNA gap=- missing=?;\n\nMATRIX\n\n";
    for (const auto& [name, seq] : taxa)
        s += name + "\t" + seq + "\n";
    return s + ";\nend;\n\n\nbegin PAUP;\nfactory; set monitor=no warnreset=no;\n" + setting + "\n\n";
}

// ShowDist between the comments "%triplet t" and "%endtriplet", and what it printed there.
const std::string showdist = "[!\n\n%triplet t\n]ShowDist;[!\n%endtriplet\n\n];";

std::string shown(const std::string& log)
{
    const std::size_t b = log.find("%triplet t\n");
    return b == std::string::npos ? "(no matrix)" : log.substr(b + 11, log.find("\n%endtriplet", b) - b - 11);
}

// The distance of two sequences as ShowDist prints it, or why it has none.
std::string value(std::string a, std::string b, distances::missingmode mode, bool jc)
{
    for (std::string* s : {&a, &b})
        for (char& c : *s)
            c = static_cast<char>(bases::bitsof(c, '-', '?'));
    const distances::paircounts pair =
        distances::countpair(distances::slicedsequence(a), distances::slicedsequence(b), mode);
    const distances::distance d = jc ? distances::jukescantor(pair) : distances::uncorrected(pair);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.5f", d.value);
    return d.defined() ? buf : d.why == distances::undefined::nodata ? "nodata" : "saturated";
}

const rows three = {{"$0a", "ACGT"}, {"$1b", "ACGA"}, {"$2c", "ACGT"}};

// The real capture of PAUP's ShowDist for cob_nt, its two column blocks joined
// into one, is what tolvi-distances prints for all 20 taxa with missdist=infer.
rows cobnt()
{
    const std::string nxs = readfile(TOLVI_TEST_DATA "/cob_nt.MATRIX-uppercase.nxs");
    std::istringstream matrix(nxs.substr(nxs.find("MATRIX") + 6));
    rows taxa;
    for (std::string name, seq; matrix >> name && name != ";" && matrix >> seq;)
        taxa.emplace_back(name, seq);
    return taxa;
}

TEST(Engine, RealPaupMatrixOfCobNt)
{
    const rows taxa = cobnt();
    std::istringstream capture(readfile(TOLVI_TEST_DATA "/cob_nt_jc_showdist.txt"));
    std::vector<std::string> l;
    for (std::string line; std::getline(capture, line);)
        l.push_back(line);
    ASSERT_EQ(l.size(), 31u);
    // The continued block's header and rows 18-20 go on after the row number and label (13).
    std::string joined = l[0] + "\n" + l[1] + "\n\n" + l[3] + l[27].substr(13) + "\n";
    for (int i = 4; i < 24; ++i)
        joined += l[i] + (i >= 21 ? l[i + 7].substr(13) : "") + "\n";
    EXPECT_EQ(shown(carryout(opening(taxa, "dset distance=JC missdist=infer;") + showdist).log), "\n\n" + joined);
}

TEST(Engine, DistancesWorkedByHand)
{
    const auto ign = distances::missingmode::ignore, inf = distances::missingmode::infer;
    const struct {
        const char *a, *b;
        distances::missingmode mode;
        const char *p, *jc;
    } cases[] = {
        {"acgtacgtac", "ACGTACGTAC", ign, "0.00000", "0.00000"},  // lower case; not "-0.00000"
        // infer: A against a gap adds 3/4 AA and 1/4 AG (the pair's AA x3, AG x1): 1.25 of 5
        {"AAAAA", "AAAG-", inf, "0.25000", "0.30410"},
        {"AAAAR", "AAAGA", inf, "0.20000", "0.23262"},  // R against A: the pair has AA, no GA
        {"AAAAW", "AAAGA", inf, "0.20000", "0.23262"},  // so has W (A or T): no TA
        {"AAAAR", "AAAGA", ign, "0.25000", "0.30410"},
        {"AAAACC-A", "AAAGCC??", inf, "0.17857", "0.20395"},  // gap against "?" stays out: 1.25 of 7
        {"AAAAT", "AAAG-", inf, "0.25000", "0.30410"},        // no column with a T: left out
        {"----", "ACGT", inf, "nodata", "nodata"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(value(c.a, c.b, c.mode, false), c.p) << c.a << " / " << c.b;
        EXPECT_EQ(value(c.a, c.b, c.mode, true), c.jc) << c.a << " / " << c.b;
    }
}

// Settings whose model reduces to a simpler one give its matrix (the title
// aside), on the 20 taxa of cob_nt.
TEST(Engine, ModelsThatReduceToSimplerOnes)
{
    const struct {
        const char *settings, *same;
    } cases[] = {
        {"dset distance=F81 basefreq=equal;", "dset distance=JC;"},
        {"dset distance=F84 basefreq=equal;", "dset distance=K2P;"},
        {"lset nst=6 rmatrix=(1 1 1 1 1) basefreq=equal; dset distance=ML;", "dset distance=JC;"},
        {"lset nst=1 basefreq=equal; dset distance=ML;", "dset distance=JC;"},
        {"dset distance=JC missdist=infer; dset missdist=ignore;", "dset distance=JC;"},
        {"lset nst=2 tratio=0.5 basefreq=equal; dset distance=ML;", "dset distance=JC;"},
        {"lset nst=6 rmatrix=(1 2 1 1 2) basefreq=(0.25 0.25 0.25); dset distance=ML;",
         "lset nst=2 tratio=1 basefreq=equal; dset distance=ML;"},
    };
    const rows taxa = cobnt();
    auto matrix = [&](const char* settings) {
        const std::string log = shown(carryout(opening(taxa, settings) + showdist).log);
        return log.substr(log.find(" characters are included"));
    };
    for (const auto& c : cases)
        EXPECT_EQ(matrix(c.settings), matrix(c.same)) << c.settings;
}

// A setting or command it does not carry out stops it with the line and
// what it supports (exit value 2), before any log is opened.
TEST(Engine, RefusesWhatItCannotCarryOut)
{
    const struct {
        const char *setting, *message;
    } cases[] = {
        {"lset nst=2 tratio=estimate;", "line 24: lset tratio=estimate: parameters estimated on a tree"},
        {"dset distance=HKY85;", "line 24: dset distance=HKY85: this distance is not offered; dset supports"},
        {"dset distance=F84 rates=gamma;", "line 29: ShowDist under the settings made up to line 24: dset "
                                           "distance=F84 with rates=gamma: this distance has no gamma form"},
        {"dset distance=K2P missdist=infer;", "line 29: ShowDist under the settings made up to line 24: dset "
                                              "distance=Kimura 2-parameter with missdist=infer"},
        {"lset nst=1 basefreq=equal; dset distance=ML rates=gamma;", "line 29: ShowDist under the settings made "
                                                                     "up to line 24: dset distance=Maximum"},
        {"lset basefreq=(0.5 0.3 0.4);", "line 24: lset basefreq=(0.5 0.3 0.4): three positive frequencies"},
        {"lset pinvar=0.2;", "line 24: lset pinvar=0.2: invariable sites are not offered; lset supports"},
        {"lset nst=$6;", "line 24: lset nst=$6: only 1, 2 or 6 substitution types"},
        {"lscores 1;", "line 24: lscores: tolvi-distances does not carry out this command"},
        {"set autoinc=10;", "line 24: set autoinc: tolvi-distances accepts set with monitor"},
        {"begin trees;", "line 24: begin trees: tolvi-distances reads data and paup blocks only"},
    };
    for (const auto& c : cases) {
        const outcome r = carryout(opening(three, c.setting) + showdist);
        EXPECT_EQ(r.error.substr(0, std::string(c.message).size()), c.message);
        EXPECT_TRUE(r.refused) << c.setting;
        EXPECT_EQ(r.logname, "") << c.setting;
    }
}

// Comments are printed as written; what comes before the log and after
// "log stop" goes to the screen; a second log command starts a new log.
TEST(Engine, CommentsLogsAndScreen)
{
    const outcome r = carryout("#NEXUS\n[!before]log file = 'my data.log' append;[plain][!outer [inner] text]"
                          "set [!in a command] monitor=no;log stop;[!after]");
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.logname, "my data.log");
    EXPECT_EQ(r.log, banner(when) + "outer [inner] text\nin a command\n");
    EXPECT_EQ(r.screen, "before\nafter\n");
    // replace=yes starts the same log anew
    EXPECT_EQ(carryout("#NEXUS\nlog file=a replace=yes;[!one]log file=a replace=yes;[!two]").log, banner(when) + "two\n");
    EXPECT_EQ(carryout("#NEXUS\nlog file=a replace=yes;[!one]log file=b replace=yes;[! two ]").log,
              banner(when) + " two \n");
}

}  // namespace
