#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "driver.h"
#include "testutil.h"

namespace {

const std::string banner =
    "\n Tolvi -                                                    built 24.11.04\n\n"
    "\trelative rate tests with groups\n\n"
    "\tsupporting all models of nucleotide substitution known by PAUP*\n\n"
    "\n\nExtract existing logfile? (1=yes, 0=construct first)\n\n";
const std::string upToLog = banner + "\n\nRanking? (1=yes, 0=pairwise group comparison)\n\nlocate logfile\n\n";

// The golden runs: a hand-made log in PAUP's layout, evaluated on the direct
// road; console and report must match byte for byte.
TEST(DirectRoad, GoldenRuns)
{
    struct row {
        const char* log;
        const char* answers;
        const char* golden;
    };
    const row rows[] = {
        {"pairwise.log", "1\n0\npairwise.log\n", "direct_pairwise"},
        {"ranking.log", "1\n1\nranking.log\n", "direct_ranking"},
        // Every non-zero answer selects the ranking list on this road.
        {"ranking.log", "1 2 ranking.log", "direct_ranking"},
    };
    for (const row& r : rows) {
        tempdir dir;
        copydata(r.log);
        const runresult res = run(r.answers);
        EXPECT_EQ(res.rc, 1) << r.answers;
        expectgolden(std::string(r.golden) + ".console", res.console);
        expectgolden(std::string(r.golden) + ".ma", readfile(std::string(r.log) + ".ma"));
    }
}

// Runs the direct road on `log` (written to a.log) and returns the result.
runresult direct(const std::string& log, const char* ranking = "0")
{
    writefile("a.log", log);
    return run(std::string("1\n") + ranking + "\na.log\n");
}

const std::string rep =
    "\n###begin 0 1 GroupX versus GroupY \n"
    " 1 $0a        -\n 2 $1b   0.30000        -\n 3 $2c   0.50000  0.40000        -\n"
    " 1 $0a        -\n 2 $1b   0.30000        -\n 3 $2c   0.70000  0.40000        -\n"
    "\n###end 0 1\n";

TEST(DirectRoad, NothingToEvaluateEndsWithoutReport)
{
    struct row {
        std::string log;   // empty: no log file at all; "/": a folder in its place
        std::string tail;  // the console after the log's own messages
    };
    const row rows[] = {
        {"", "Can't open a.log !\n\nNo bootstrap replicate could be read from the log a.log: there is nothing to "
             "evaluate, and no report is written.\n"},
        {"/", "\n\nEof!\n\n\n\nThe log could not be read to its end (a read error; a folder is no log): reading stops, "
              "what was read before is kept.\n\n\nNo bootstrap replicate could be read from the log a.log: there is "
              "nothing to evaluate, and no report is written.\n"},
        {rep + "\nbootstrap_end\n", "\n\nlast bootstr repl!\n\n\nNo bootstrap replicate could be read from the log "
                                    "a.log: there is nothing to evaluate, and no report is written.\n"},
        {"begin_bootstrap_replicate 1\nend_bootstrap_replicate 1\nbootstrap_end\n",
         "bootstrap replicate 1\n\n\nlast bootstr repl!\n\nextraction successful\n\n\nThe bootstrap replicates of the "
         "log a.log hold no group comparison: there is nothing to evaluate, and no report is written.\n"},
    };
    for (const row& r : rows) {
        tempdir dir;
        runresult res;
        if (r.log == "/")
            std::filesystem::create_directory("a.log");
        if (r.log.empty() || r.log == "/")
            res = run("1\n0\na.log\n");
        else
            res = direct(r.log);
        EXPECT_EQ(res.rc, 2);
        EXPECT_EQ(res.console, upToLog + r.tail);
        EXPECT_FALSE(std::filesystem::exists("a.log.ma"));
    }
}

TEST(DirectRoad, ReplicateCutShortIsLeftOutAndCounted)
{
    tempdir dir;
    const std::string two = rep + rep;
    std::string log;
    for (int i = 1; i <= 3; ++i)
        log += "begin_bootstrap_replicate " + std::to_string(i) + "\n" + two + "end_bootstrap_replicate 1\n";
    log += "begin_bootstrap_replicate 4\n" + rep;  // cut off after its first comparison
    const runresult res = direct(log, "1");
    EXPECT_EQ(res.rc, 1);
    EXPECT_NE(res.console.find("\nWARNING: 1 bootstrap replicate(s)"), std::string::npos);
    EXPECT_NE(readfile("a.log.ma").find("standard errors based on 3 bootstrap replicates"), std::string::npos);
}

TEST(DirectRoad, OneReplicateReportsNotANumber)
{
    tempdir dir;
    const runresult res =
        direct("begin_bootstrap_replicate 1\n" + rep + "end_bootstrap_replicate 1\nbootstrap_end\n", "1");
    EXPECT_EQ(res.rc, 1);
    EXPECT_EQ(readfile("a.log.ma"),
              "relative rates of groups compared to GroupY\n\nstandard errors based on 1 bootstrap replicates\n\n"
              "group\td\tS.E.\tsignificance\n\nGroupX\t0.200\t-nan\t (insign.)\n");
}

TEST(DirectRoad, ReportThatCannotBeWritten)
{
    tempdir dir;
    std::filesystem::create_directory("a.log.ma");  // a folder stands where the report belongs
    const runresult res =
        direct("begin_bootstrap_replicate 1\n" + rep + "end_bootstrap_replicate 1\nbootstrap_end\n");
    EXPECT_EQ(res.rc, 2);
    EXPECT_NE(res.console.find("ratio (above diagonal)"), std::string::npos);
    const std::string tail = "\nThe report file a.log.ma could not be written!\n";
    EXPECT_EQ(res.console.substr(res.console.size() - tail.size()), tail);
}

TEST(DirectRoad, AnswersThatCannotBeUsed)
{
    struct row {
        const char* input;
        const char* tail;
    };
    const row rows[] = {
        {"", "\n\nStandard input ended where an answer was expected: Tolvi stops.\n"},
        {"yes\n", "\n\nA number was expected as the answer, not \"yes\": Tolvi stops.\n"},
        {"1\n", "\n\nRanking? (1=yes, 0=pairwise group comparison)\n\n"
                "\n\nStandard input ended where an answer was expected: Tolvi stops.\n"},
        {"1\n-\n", "\n\nRanking? (1=yes, 0=pairwise group comparison)\n\n"
                   "\n\nA number was expected as the answer, not \"-\": Tolvi stops.\n"},
        {"1\n12345678901\n", "\n\nRanking? (1=yes, 0=pairwise group comparison)\n\n"
                             "\n\nThe answer 12345678901 is too large for a number here: Tolvi stops.\n"},
        {"1\n0\n", "\n\nRanking? (1=yes, 0=pairwise group comparison)\n\nlocate logfile\n\n"
                   "\n\nStandard input ended where an answer was expected: Tolvi stops.\n"},
    };
    for (const row& r : rows) {
        const runresult res = run(r.input);
        EXPECT_EQ(res.rc, 2) << r.input;
        EXPECT_EQ(res.console, banner + r.tail) << r.input;
    }
}

}  // namespace

namespace {

// Progress lines go to the terminal stream only; the transcript stays the same.
TEST(DirectRoad, ProgressLinesStayOffTheTranscript)
{
    tempdir dir;
    copydata("pairwise.log");
    std::istringstream in1("1\n0\npairwise.log\n"), in2("1\n0\npairwise.log\n");
    std::ostringstream out1, out2, meter;
    EXPECT_EQ(tolvi(in1, out1, &meter), 1);
    EXPECT_EQ(tolvi(in2, out2, nullptr), 1);
    EXPECT_EQ(out1.str(), out2.str());
    EXPECT_NE(meter.str().find("reading the log: 100%"), std::string::npos) << meter.str();
}

}  // namespace

// Logs that do not fit the run end it with 2 and no report; a cut log is
// reported on the replicates it holds, not on the number typed.
TEST(Logs, ThatDoNotFitTheRun)
{
    const std::string construct = lines({"0", "small.nex", "0", "1", "small.grdef", "0", "1", "4"});
    const struct {
        const char* what;
        std::string answers;
        const char* log;  // a log of tests/data, or "cut": this run's own, cut inside replicate 3
        int rc;
        const char* message;
    } cases[] = {
        {"pairwise log as ranking", "1\n1\nl.log\n", "pairwise.log", 2,
         "do not all share one reference group, so they give no ranking list; the log fits a comparison matrix"},
        {"ranking log as matrix", "1\n0\nl.log\n", "ranking.log", 2,
         "are not every pair of its groups in order, so they give no comparison matrix; the log fits a ranking list"},
        {"another run's log", construct + "l.log\n", "pairwise.log", 2,
         "does not hold the comparisons of the command file just written (comparison 1 of the log is 0 Alpha "
         "versus 1 Beta, of the command file 0 humans versus 1 apes): is it another run's log?"},
        {"cut log", construct + "l.log\n", "cut", 0, "standard errors based on 2 bootstrap replicates"},
    };
    for (const auto& c : cases) {
        tempdir dir;
        for (const char* f : {"small.nex", "small.grdef", "MLS"})
            copydata(f);
        if (std::string(c.log) == "cut") {
            run(construct);
            const std::string log = paulog(readfile("small.nex.cd"));
            writefile("l.log", log.substr(0, log.find("begin_bootstrap_replicate 3") + 200));
        } else {
            writefile("l.log", readfile(std::string(TOLVI_TEST_DATA) + "/" + c.log));
        }
        const runresult r = run(c.answers);
        EXPECT_EQ(r.rc, c.rc) << c.what;
        EXPECT_NE(r.console.find(c.message), std::string::npos) << c.what << "\n---\n" << r.console;
        EXPECT_EQ(std::filesystem::exists("l.log.ma") || std::filesystem::exists("small.nex.ma"), c.rc != 2) << c.what;
    }
}
