// The whole construct-first road in one run: Tolvi writes the command file,
// tolvi-standin carries it out in the place of PAUP while Tolvi waits for the
// log path, and Tolvi evaluates the log.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "commander.h"
#include "driver.h"
#include "standin.h"
#include "testutil.h"

namespace {

// Standard input of a run: the answers up to the hand-off, then, once the
// dialogue asks for more, `between` (the user runs PAUP) and the log path.
class handoffbuf : public std::streambuf {
public:
    handoffbuf(std::string before, std::string after, std::function<void()> between)
        : before_(std::move(before)), after_(std::move(after)), between_(std::move(between))
    {
        setg(before_.data(), before_.data(), before_.data() + before_.size());
    }

protected:
    int_type underflow() override
    {
        if (!handedoff_) {
            handedoff_ = true;
            between_();
            setg(after_.data(), after_.data(), after_.data() + after_.size());
            if (gptr() < egptr())
                return traits_type::to_int_type(*gptr());
        }
        return traits_type::eof();
    }

private:
    std::string before_, after_;
    std::function<void()> between_;
    bool handedoff_ = false;
};

void standin(const std::string& cdname)
{
    std::ifstream cd(cdname, std::ios::binary);
    std::ofstream log;
    const logopener open = [&log](const std::string& name, logmode, std::string& why) -> std::ostream* {
        log.close();
        log.clear();
        log.open(name, std::ios::binary | std::ios::trunc);
        if (!log)
            why = "it cannot be written";
        return log ? &log : nullptr;
    };
    std::ostringstream screen;
    EXPECT_NO_THROW(runcommands(cd, open, screen, "Mon Jan  1 12:00:00 2024"));
}

struct piperun {
    int rc = -1;
    std::string console;
    bool standinran = false;
};

// One run: `answers` up to the hand-off, the stand-in, then the log path.
piperun pipeline(const std::string& answers, const std::string& nex)
{
    piperun r;
    std::ostringstream out;
    handoffbuf buf(answers, nex + ".log\n", [&] {
        // Tolvi asks for the log only when the command file is complete.
        EXPECT_TRUE(out.str().ends_with("please locate the file: " + nex + ".log. \n\n"));
        EXPECT_TRUE(readfile(nex + ".cd").ends_with("[!bootstrap_end\n\n]"));
        standin(nex + ".cd");
        r.standinran = true;
    });
    std::istream in(&buf);
    r.rc = tolvi(in, out);
    r.console = out.str();
    return r;
}

// Five taxa of ten columns in data-block order. Beside the outgroup each
// taxon has transitions at its own columns: Alpha_1 at 6 and 9, Beta at 1, 3,
// 7 and 9, Alpha_2 at 2, 7 and 8, Gamma at 5. Where two taxa both changed a
// column they agree, so the p distance of two taxa is the weight of the
// columns only one of them changed, and the branch lengths of a triplet are
// KOA = weight(changed by A, not by B) and KOB = weight(changed by B, not by
// A), in tenths.
const std::string tiny = "#NEXUS\nbegin data; dimensions ntax=5 nchar=10;\nMATRIX\n"
                         "Alpha_1   ACGTACATAT\n"
                         "Beta      ATGCACGCAT\n"
                         "Outgroup  ACGTACGTAC\n"
                         "Alpha_2   ACATACGCGC\n"
                         "Gamma     ACGTATGTAC\n;\nend;\n";

// Two replicates. A fresh generator draws the columns 5 1 3 5 9 1 7 2 4 1 and
// then 0 3 2 3 9 5 7 6 7 7, so the columns weigh
//   replicate 1: 0:0 1:3 2:1 3:1 4:1 5:2 6:0 7:1 8:0 9:1
//   replicate 2: 0:1 1:0 2:1 3:2 4:0 5:1 6:1 7:3 8:0 9:1
// and the outgroup ACGTACGTAC is written as CCTCCCTGAC and ATGTCCTGTT.
//
// alpha/beta, triplets Alpha_1|Beta and Alpha_2|Beta:
//   1: KOA .0 .1, KOB .5 .5: d = (.1 - 1.0)/2 = -.45, ratio .1/1.0 = .1
//   2: KOA .1 .1, KOB .5 .3: d = (.2 - .8)/2 = -.30, ratio .2/.8 = .25
//   d = -.375, S.E. = .15/sqrt 2 = .106066; ratio .175, S.E. .106066;
//   z = -3.54: <0.001; interval .175 -+ 1.96 x .106066 = -.032889 .. .382889
// alpha/gamma, triplets Alpha_1|Gamma and Alpha_2|Gamma:
//   1: KOA .1 .2, KOB .2 .2: d = -.05, ratio .75
//   2: KOA .2 .4, KOB .1 .1: d = .20, ratio 3
//   d = .075, S.E. = .25/sqrt 2 = .176777; ratio 1.875, S.E. 2.25/sqrt 2 =
//   1.590990; z = .42: insign.; interval -1.243341 .. 4.993341
// beta/gamma, triplet Beta|Gamma:
//   1: KOA .6, KOB .2: d = .4, ratio 3
//   2: KOA .6, KOB .1: d = .5, ratio 6
//   d = .45, S.E. = .1/sqrt 2 = .070711; ratio 4.5, S.E. 3/sqrt 2 = 2.121320;
//   z = 6.36: <0.0001; interval .342212 .. 8.657788
const std::string pairwisereport = "standard errors based on 2 bootstrap replicates\n\n"
                                   "d (above diagonal), S.E. (below diagonal)\n"
                                   "taxa\talpha\tbeta\tgamma\t\n"
                                   "alpha\t-\t-0.375 (<0.001)\t0.075 (insign.)\t\n"
                                   "beta\t0.106 (2)\t-\t0.450 (<0.0001)\t\n"
                                   "gamma\t0.177 (2)\t0.071 (1)\t-\t\n\n\n"
                                   "ratio (above diagonal), 95% confidence interval (below diagonal)\n"
                                   "taxa\talpha\tbeta\tgamma\t\n"
                                   "alpha\t-\t0.175 (0.106)\t1.875 (1.591)\t\n"
                                   "beta\t(-0.033-0.383)\t-\t4.500 (2.121)\t\n"
                                   "gamma\t(-1.243-4.993)\t(0.342-8.658)\t-\t\n";

// Ranking against gamma: the comparisons alpha/gamma and beta/gamma above.
const std::string rankingreport = "relative rates of groups compared to gamma\n\n"
                                  "standard errors based on 2 bootstrap replicates\n\n"
                                  "group\td\tS.E.\tsignificance\n\n"
                                  "alpha\t0.075\t0.177\t (insign.)\n"
                                  "beta\t0.450\t0.071\t (<0.0001)\n";

void tinyfiles()
{
    writefile("tiny.nex", tiny);
    writefile("MLS", "*MLS1 set criterion=distance;\ndset distance=p;\n*end\n");
    writefile("tiny.grdef", "#Tolvi\ngroupname grindex\nbeginmatrix\nalpha 1\nbeta 2\ngamma 3\nout 4\nendmatrix\n"
                            "begintaxa\nAlpha_1 1\nBeta 2\nOutgroup 4\nAlpha_2 1\nGamma 3\nendtaxa\n");
}

}  // namespace

TEST(Pipeline, PairwiseTypedGroupsWorkedByHand)
{
    tempdir dir;
    tinyfiles();
    const std::string answers = lines({"0", "tiny.nex", "0", "0", "alpha 1, 4;", "beta 2;", "gamma 5;", "q", "3;",
                                       "0", "1", "2"});
    const piperun r = pipeline(answers, "tiny.nex");
    EXPECT_TRUE(r.standinran);
    EXPECT_EQ(r.rc, 0) << r.console;
    EXPECT_EQ(readfile("tiny.nex.ma"), pairwisereport);
    EXPECT_NE(r.console.find("\nbeta\t0.10607 (2)\t-\t (<0.0001)0.45000 (1)\t\n"), std::string::npos) << r.console;

    // The replicates the hand computation above rests on.
    const std::string cd = readfile("tiny.nex.cd");
    EXPECT_NE(cd.find("$3Outgroup\tCCTCCCTGAC\n"), std::string::npos);
    EXPECT_NE(cd.find("$3Outgroup\tATGTCCTGTT\n"), std::string::npos);

    // The same answers again: the same command file, date and time aside.
    const piperun again = pipeline(answers, "tiny.nex");
    EXPECT_EQ(again.rc, 0);
    EXPECT_EQ(maskdate(readfile("tiny.nex.cd")), maskdate(cd));
    EXPECT_EQ(readfile("tiny.nex.ma"), pairwisereport);
}

TEST(Pipeline, RankingDefinitionFileWorkedByHand)
{
    tempdir dir;
    tinyfiles();
    const piperun r = pipeline(lines({"0", "tiny.nex", "1", "1", "tiny.grdef", "0", "1", "2"}), "tiny.nex");
    EXPECT_TRUE(r.standinran);
    EXPECT_EQ(r.rc, 0) << r.console;
    EXPECT_EQ(readfile("tiny.nex.ma"), rankingreport);
    EXPECT_NE(r.console.find("\nalpha\t0.07500\t0.17678\t (insign.)\n"), std::string::npos) << r.console;
}

// The bundled example: its answer files, group definition file, settings and
// user tree go round as the README's main job runs them.
TEST(Pipeline, BundledExample)
{
    struct examplecase {
        const char* answers;
        std::vector<std::string> report;  // pieces of the report, in order
    };
    const examplecase cases[] = {
        {"pairwise.answers",
         {"standard errors based on 100 bootstrap replicates\n", "taxa\tapes\toldworld\tnewworld\ttarsier\t\n",
          "\noldworld\t", " (20)\t-\t", "\ntarsier\t", " (5)\t", " (4)\t", " (1)\t-\t\n"}},
        {"ranking.answers",
         {"relative rates of groups compared to tarsier\n", "standard errors based on 100 bootstrap replicates\n",
          "\napes\t", "\noldworld\t", "\nnewworld\t"}},
    };
    const std::string ex = TOLVI_EXAMPLES_DIR;
    for (const examplecase& c : cases) {
        tempdir dir;
        for (const char* f : {"primates.chars.nexus", "primates.grdef", "MLS", "usertree"})
            writefile(f, readfile(ex + "/" + f));
        std::string answers = readfile(ex + "/" + c.answers);
        const std::string logline = "primates.chars.nexus.log\n";
        ASSERT_TRUE(answers.ends_with("\n" + logline)) << c.answers << " must end with the log path";
        answers.resize(answers.size() - logline.size());
        const piperun r = pipeline(answers, "primates.chars.nexus");
        EXPECT_EQ(r.rc, 0) << c.answers << r.console.substr(r.console.size() > 2000 ? r.console.size() - 2000 : 0);
        const std::string report = readfile("primates.chars.nexus.ma");
        std::size_t at = 0;
        for (const std::string& piece : c.report) {
            at = report.find(piece, at);
            ASSERT_NE(at, std::string::npos) << c.answers << ": no \"" << piece << "\" in\n" << report;
        }
        EXPECT_EQ(report.find("nan"), std::string::npos) << c.answers << "\n" << report;
    }
}
